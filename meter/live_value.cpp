#include "meter/live_value.h"

#include <cstdio>

#include "meter/register_map.h"

namespace zt {

double ScaledLiveValue(int32_t raw, int32_t decimalPoint) {
  return raw * DecimalPointFactor(decimalPoint).value_or(1.0);
}

std::string FormatLiveValue(int32_t raw, int32_t decimalPoint) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", ScaledLiveValue(raw, decimalPoint));
  return text;
}

}  // namespace zt
