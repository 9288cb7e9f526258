#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "meter/register_map.h"

namespace zt::sim {

// What the meter lets a master do with each register it knows, and the values
// a write may carry. Registers not listed here are refused with "illegal data
// address".
struct RegisterRule {
  uint16_t number;
  bool readable;
  bool writable;  // with function 6, or one by one inside a function 16 write
  uint16_t minValue;
  uint16_t maxValue;
};

inline constexpr std::array<RegisterRule, 12> kRegisterRules = {{
    // Read as the live value; written only as the PT pair (below).
    {reg::kLiveValue, true, false, 0, 0},
    {reg::kWiringMode, true, true, 0, kWiringModeCount - 1},
    {reg::kDecimalPoint, true, true, 0, 3},
    {reg::kLinkBaud, true, true, 0, 4},
    // Relay and switch states come from the field wiring, not from the master.
    {reg::kSwitchStatus, true, false, 0, 0},
    // The clock bytes are binary and unchecked, as the meter stores them.
    {reg::kClock, true, true, 0, 0xFFFF},
    {reg::kClock + 1, true, true, 0, 0xFFFF},
    {reg::kClock + 2, true, true, 0, 0xFFFF},
    {reg::kDeviceAddress, true, true, 1, 255},
    {reg::kUpperLimit, true, true, 0, 0xFFFF},
    {reg::kLowerLimit, true, true, 0, 0xFFFF},
    {reg::kParameterBaud, true, true, 0, 4},
}};

// PT and CT go to two registers with one function 16 write: the ratio, then 0.
struct RatioPair {
  uint16_t first;
  uint16_t minValue;
  uint16_t maxValue;
};

inline constexpr std::array<RatioPair, 2> kRatioPairs = {{
    {reg::kPtRatio, kRatioMin, kRatioMax},
    {reg::kCtRatio, kRatioMin, kRatioMax},
}};

constexpr std::optional<RegisterRule> RuleFor(uint16_t number) {
  for (const RegisterRule& rule : kRegisterRules) {
    if (rule.number == number) {
      return rule;
    }
  }
  return std::nullopt;
}

constexpr std::optional<RatioPair> RatioPairAt(uint16_t first) {
  for (const RatioPair& pair : kRatioPairs) {
    if (pair.first == first) {
      return pair;
    }
  }
  return std::nullopt;
}

// Registers that belong to a ratio pair and cannot be written on their own.
constexpr bool InRatioPair(uint16_t number) {
  for (const RatioPair& pair : kRatioPairs) {
    if (number == pair.first || number == pair.first + 1) {
      return true;
    }
  }
  return false;
}

}  // namespace zt::sim
