#include "sim/line_timing.h"

#include <cstdint>

namespace zt::sim {

std::chrono::microseconds LineTime(const LineFormat& format, std::size_t bytes) {
  if (format.baudRate <= 0) {
    return std::chrono::microseconds::zero();
  }
  const auto bits = static_cast<uint64_t>(format.BitsPerCharacter()) * bytes;
  const auto baud = static_cast<uint64_t>(format.baudRate);
  const uint64_t micros = (bits * 1'000'000 + baud - 1) / baud;
  return std::chrono::microseconds(static_cast<std::chrono::microseconds::rep>(micros));
}

std::chrono::microseconds CharacterTime(const LineFormat& format) { return LineTime(format, 1); }

}  // namespace zt::sim
