#pragma once

#include <chrono>
#include <functional>

#include "link/clock.h"

namespace zt::cli {

// A clock whose sleeps also run one piece of the program's own work when its
// time comes: zt6100ctl's log appends its blocks at their interval from
// inside a poll's 1.5 s of waits, instead of after the tick. The work runs
// only with kRoom left before the sleep's deadline, so that no wait of an
// exchange ends later for it; it never touches the line.
class SideWorkClock final : public Clock {
 public:
  static constexpr std::chrono::milliseconds kRoom{20};

  explicit SideWorkClock(Clock& time) : time_(time) {}

  // `work` runs once Now() reaches the time `due` returns, asked again after
  // every run: the work must move it on.
  void SetWork(std::function<std::chrono::microseconds()> due, std::function<void()> work) {
    due_ = std::move(due);
    work_ = std::move(work);
  }
  void ClearWork() {
    due_ = nullptr;
    work_ = nullptr;
  }

  std::chrono::microseconds Now() override { return time_.Now(); }
  void SleepUntil(std::chrono::microseconds deadline) override;

 private:
  Clock& time_;
  std::function<std::chrono::microseconds()> due_;
  std::function<void()> work_;
  bool working_ = false;
};

}  // namespace zt::cli
