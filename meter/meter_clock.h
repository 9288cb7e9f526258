#pragma once

#include <cstdint>
#include <string>

namespace zt {

// The meter's clock, six binary bytes (not BCD) in registers 0x0110 to 0x0112:
// minute, second, day, hour, year - 2000, month. No range is checked.
struct MeterClock {
  int year = 2000;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const MeterClock&, const MeterClock&) = default;
};

// `registers` points at the first data byte of the reply (high byte of 0x0110).
MeterClock DecodeMeterClock(const uint8_t* registers);

// "当前时间:  2006年12月15日 10时30分45秒", UTF-8: `format` (the Chinese
// text by default, or its translation) with %1 to %6 replaced by the year
// (four digits) and the month, day, hour, minute and second (two digits each).
std::string FormatMeterClock(const MeterClock& clock, const char* format = nullptr);

}  // namespace zt
