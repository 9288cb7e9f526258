#pragma once

#include <cstdint>

#include "meter/register_map.h"

namespace zt {

// The register word written for a signed field: its low 16 bits, the high
// byte taken with an arithmetic shift, so -1 goes out as FF FF and 70000 loses
// its upper bits.
constexpr uint16_t RegisterWord(int32_t value) {
  const auto high = static_cast<uint8_t>(value >> 8);
  const auto low = static_cast<uint8_t>(value & 0xFF);
  return static_cast<uint16_t>((high << 8) | low);
}

// Rate in the baud box to the code written to the meter: one of the five rates
// becomes its BaudIndex, anything else (0 to 4 included) is sent unchanged.
constexpr int32_t BaudRateToIndex(int32_t rate) { return BaudIndexOf(rate).value_or(rate); }

// Code read from the meter to the rate shown: 0 to 4 become their rate, any
// other value is shown unchanged.
constexpr int32_t BaudIndexToRate(int32_t index) { return BaudRateOf(index).value_or(index); }

}  // namespace zt
