#pragma once

#include <cstdint>
#include <limits>

namespace zt {

// Timer 1: one measurement poll a second. A poll takes 1.5 s at the fixed
// waits, so ticks follow back to back.
inline constexpr uint32_t kPollPeriodMs = 1000;

// Timer 2: one block of the measurement log every interval.
struct LogInterval {
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 1;
};

inline constexpr int64_t kMinLogPeriodMs = 1000;
// The longest period a timer takes: signed 32-bit milliseconds.
inline constexpr int64_t kMaxLogPeriodMs = std::numeric_limits<int32_t>::max();

// Computed in 64 bits, so that no interval a box can hold overflows.
constexpr int64_t LogPeriodMs(const LogInterval& interval) {
  return (int64_t{interval.hours} * 3600 + int64_t{interval.minutes} * 60 + interval.seconds) *
         1000;
}

constexpr bool IsValidLogPeriod(int64_t periodMs) {
  return periodMs >= kMinLogPeriodMs && periodMs <= kMaxLogPeriodMs;
}

}  // namespace zt
