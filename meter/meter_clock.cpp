#include "meter/meter_clock.h"

#include <cstdio>
#include <string_view>

#include "res/texts.h"

namespace zt {

MeterClock DecodeMeterClock(const uint8_t* registers) {
  MeterClock clock;
  clock.minute = registers[0];
  clock.second = registers[1];
  clock.day = registers[2];
  clock.hour = registers[3];
  clock.year = 2000 + registers[4];
  clock.month = registers[5];
  return clock;
}

std::string FormatMeterClock(const MeterClock& clock, const char* format) {
  const std::string_view text = format ? format : res::text::kMeterClockFormat;
  const int fields[] = {clock.year, clock.month, clock.day, clock.hour, clock.minute, clock.second};
  std::string formatted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '6') {
      const int field = text[i + 1] - '1';
      char digits[16];
      std::snprintf(digits, sizeof digits, field == 0 ? "%04d" : "%02d", fields[field]);
      formatted += digits;
      ++i;
    } else {
      formatted += text[i];
    }
  }
  return formatted;
}

}  // namespace zt
