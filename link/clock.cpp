#include "link/clock.h"

#include <thread>

#if defined(__unix__)
#include <cerrno>
#include <ctime>
#endif

namespace zt {

std::chrono::microseconds SystemClock::Now() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

void SleepUntilSteady(std::chrono::steady_clock::time_point deadline) {
#if defined(__unix__)
  // libstdc++ turns sleep_until into relative sleeps from a fresh reading of
  // the clock, each one adding the kernel's wake-up slack; an absolute sleep
  // on the same clock (steady_clock is CLOCK_MONOTONIC) wakes once, at the
  // deadline.
  const auto since = deadline.time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
  timespec at{};
  at.tv_sec = static_cast<time_t>(seconds.count());
  at.tv_nsec = static_cast<long>(std::chrono::nanoseconds(since - seconds).count());
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
#endif
  // MinGW's threads on Windows wake up to a timer tick early: sleep again for
  // what is left, so that a meter is never given less than its whole wait.
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_until(deadline);
  }
}

void SystemClock::SleepUntil(std::chrono::microseconds deadline) {
  SleepUntilSteady(std::chrono::steady_clock::time_point(deadline));
}

}  // namespace zt
