#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zt::reg {

// Register numbers exactly as they go in bytes 2 and 3 of a request, high
// byte first: no offset is added.
inline constexpr uint16_t kLiveValue = 0x0000;     // read, 1 register
inline constexpr uint16_t kPtRatio = 0x0000;       // written with function 16, with 0 in 0x0001
inline constexpr uint16_t kWiringMode = 0x0002;    // written with function 6
inline constexpr uint16_t kCtRatio = 0x0004;       // written with function 16, with 0 in 0x0005
inline constexpr uint16_t kDecimalPoint = 0x0006;  // read and written
inline constexpr uint16_t kLinkBaud = 0x0008;      // BaudIndex of the meter's line, written
inline constexpr uint16_t kSwitchStatus = 0x0016;  // relay output (high byte), switch input (low)
inline constexpr uint16_t kClock = 0x0110;         // three registers, 0x0110 to 0x0112
inline constexpr uint16_t kClockRegisterCount = 3;
inline constexpr uint16_t kDeviceAddress = 0x0300;  // new address, sent to the old one
inline constexpr uint16_t kUpperLimit = 0x0302;
inline constexpr uint16_t kLowerLimit = 0x0304;
inline constexpr uint16_t kParameterBaud = 0x0308;  // BaudIndex of the parameter block

// The meter shows 0 to 3 decimals; a larger value is no decimal point of it.
inline constexpr uint16_t kMaxDecimalPoint = 3;

}  // namespace zt::reg

namespace zt {

// The meter's code for a baud rate: the index into this table.
inline constexpr std::array<int32_t, 5> kBaudIndexRates = {1200, 2400, 4800, 9600, 19200};

// Scale of the live value, selected by the decimal point 0 to 3.
inline constexpr std::array<double, 4> kDecimalPointFactors = {1.0, 0.1, 0.01, 0.001};

enum class WiringMode : uint8_t {
  ThreePhaseFourWireUnbalanced = 0,
  SinglePhaseTwoWire = 1,
  ThreePhaseThreeWireUnbalanced = 2,
  ThreePhaseThreeWireBalanced = 3,
  SinglePhaseThreeWire = 4,
  ThreePhaseFourWireBalanced = 5,
};
inline constexpr uint8_t kWiringModeCount = 6;

inline constexpr uint16_t kRatioMin = 1;
inline constexpr uint16_t kRatioMax = 64000;

// The BaudIndex of one of the five rates, or nothing.
constexpr std::optional<int32_t> BaudIndexOf(int32_t rate) {
  for (std::size_t i = 0; i < kBaudIndexRates.size(); ++i) {
    if (kBaudIndexRates[i] == rate) {
      return static_cast<int32_t>(i);
    }
  }
  return std::nullopt;
}

// The rate of a BaudIndex 0 to 4, or nothing.
constexpr std::optional<int32_t> BaudRateOf(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kBaudIndexRates.size())) {
    return std::nullopt;
  }
  return kBaudIndexRates[static_cast<std::size_t>(index)];
}

constexpr std::optional<double> DecimalPointFactor(int32_t decimalPoint) {
  if (decimalPoint < 0 || decimalPoint >= static_cast<int32_t>(kDecimalPointFactors.size())) {
    return std::nullopt;
  }
  return kDecimalPointFactors[static_cast<std::size_t>(decimalPoint)];
}

}  // namespace zt
