#include "link/clock.h"

#include <thread>

namespace zt {

std::chrono::microseconds SystemClock::Now() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::SleepUntil(std::chrono::microseconds deadline) {
  // sleep_until on the steady clock is an absolute sleep, so time spent
  // before the call does not add to the wait. MinGW's threads on Windows
  // wake up to a timer tick early: sleep again for what is left, so that a
  // meter is never given less than its whole wait.
  while (Now() < deadline) {
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(deadline));
  }
}

}  // namespace zt
