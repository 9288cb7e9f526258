#include "sim/line_timing.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::sim {
namespace {

struct TimingRow {
  std::string settings;
  std::size_t bytes;
  int64_t micros;
};

TEST(LineTiming, CountsEveryBitOfEveryCharacter) {
  const TimingRow rows[] = {
      // 11 bits at 9600 bit/s: 1145.83 us, rounded up.
      {"9600,N,8,2", 1, 1146},
      // A parity bit makes it 12.
      {"9600,E,8,2", 1, 1250},
      {"9600,O,8,2", 1, 1250},
      {"1200,O,8,2", 13, 130000},
      // Rounded once for the run, not once per character.
      {"19200,N,8,2", 8, 4584},
      {"9600,N,8,2", 0, 0},
  };
  for (const TimingRow& row : rows) {
    const LineFormat format = ParseSettingsText(row.settings).value();
    EXPECT_EQ(LineTime(format, row.bytes).count(), row.micros)
        << row.bytes << " bytes at " << row.settings;
  }
}

TEST(LineTiming, CharacterTimeIsTheTimeOfOneByte) {
  const LineFormat format = ParseSettingsText("2400,E,8,2").value();
  EXPECT_EQ(CharacterTime(format), LineTime(format, 1));
  EXPECT_EQ(CharacterTime(format).count(), 5000);
}

}  // namespace
}  // namespace zt::sim
