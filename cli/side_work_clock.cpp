#include "cli/side_work_clock.h"

namespace zt::cli {

void SideWorkClock::SleepUntil(std::chrono::microseconds deadline) {
  // Work that sleeps itself runs no work inside its own sleep.
  while (work_ && !working_) {
    const std::chrono::microseconds due = due_();
    if (due > deadline - kRoom) {
      break;
    }
    time_.SleepUntil(due);
    working_ = true;
    work_();
    working_ = false;
  }
  time_.SleepUntil(deadline);
}

}  // namespace zt::cli
