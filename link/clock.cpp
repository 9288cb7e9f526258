#include "link/clock.h"

#include <thread>

namespace zt {

void SystemClock::Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint32_t SystemClock::TickCount() {
  const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
  // Truncated to 32 bits on purpose: the count wraps like the system's tick count.
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

}  // namespace zt
