#include "meter/meter_clock.h"

#include <cstdio>

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

std::string FormatMeterClock(const MeterClock& clock) {
  char text[96];
  std::snprintf(text, sizeof text, "当前时间:  %04d年%02d月%02d日 %02d时%02d分%02d秒", clock.year,
                clock.month, clock.day, clock.hour, clock.minute, clock.second);
  return text;
}

}  // namespace zt
