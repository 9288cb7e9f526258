#pragma once

#include <cstdint>

#include "meter/register_map.h"
#include "res/texts.h"

namespace zt {

// The range a value entered by the technician is checked against before
// anything is sent.
struct ValueRange {
  int64_t min = 0;
  int64_t max = 0;

  constexpr bool Contains(int64_t value) const { return value >= min && value <= max; }
};

// A value the technician enters, with the caption that names it in a message.
struct EnteredValue {
  const char* caption;
  ValueRange range;
};

// What a 16-bit register takes, read as signed or unsigned.
inline constexpr ValueRange kRegisterRange{-32768, 65535};

namespace value {

inline constexpr EnteredValue kUpperLimit{res::text::kUpperLimitCaption, kRegisterRange};
inline constexpr EnteredValue kLowerLimit{res::text::kLowerLimitCaption, kRegisterRange};
inline constexpr EnteredValue kDecimalPoint{res::text::kDecimalPointCaption, kRegisterRange};
inline constexpr EnteredValue kMeterBaud{res::text::kMeterBaudCaption, kRegisterRange};
// The meter's new address.
inline constexpr EnteredValue kDeviceAddress{res::text::kDeviceAddressCaption, {0, 255}};
// The address the console talks to.
inline constexpr EnteredValue kMeterAddress{res::text::kMeterAddressCaption, {0, 255}};
inline constexpr EnteredValue kPort{res::text::kPortCaption, {1, 2}};
inline constexpr EnteredValue kPtRatio{res::text::kPtCaption, {kRatioMin, kRatioMax}};
inline constexpr EnteredValue kCtRatio{res::text::kCtCaption, {kRatioMin, kRatioMax}};
inline constexpr EnteredValue kWiringMode{res::text::kWiringCaption, {0, kWiringModeCount - 1}};

}  // namespace value

}  // namespace zt
