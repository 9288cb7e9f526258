#include "meter/live_value.h"

#include <cstdio>

#include "meter/register_map.h"

namespace zt {

std::string FormatLiveValue(int32_t raw, int32_t decimalPoint) {
  const double scaled = raw * DecimalPointFactor(decimalPoint).value_or(1.0);
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", scaled);
  return text;
}

}  // namespace zt
