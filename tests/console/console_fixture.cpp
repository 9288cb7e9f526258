#include "console_fixture.h"

#include <cstdio>

namespace zt::test {

std::vector<std::string> ConsoleFixture::Frames() const {
  std::vector<std::string> rows;
  for (const sim::WrittenFrame& frame : port.Written()) {
    std::string row =
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(frame.at).count()) +
        ":";
    for (const uint8_t byte : frame.bytes) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02X", byte);
      row += hex;
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace zt::test
