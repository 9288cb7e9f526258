#pragma once

#include <cstdint>
#include <string>

namespace zt {

// The live value as shown: raw × DecimalPointFactor with four decimals. A
// decimal point outside 0 to 3 selects no factor; the raw value is then shown
// unscaled.
std::string FormatLiveValue(int32_t raw, int32_t decimalPoint);
double ScaledLiveValue(int32_t raw, int32_t decimalPoint);

}  // namespace zt
