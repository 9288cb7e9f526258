#pragma once

#include <cstdint>

namespace zt::cli {

// A console window timer on the millisecond tick count, delivered the way Qt
// delivers it to a thread that is often busy: when a tick is taken late, the
// next one is due a period after the missed due time, or a period after now
// if that has passed as well, so a late tick is delivered once and never as a
// burst. Tick counts wrap; every comparison is of unsigned differences.
class PeriodicTimer {
 public:
  // The first tick is due one period after `now`, as after starting a window
  // timer; `firstAtOnce` makes it due at once instead.
  PeriodicTimer(uint32_t now, uint32_t periodMs, bool firstAtOnce = false)
      : due_(firstAtOnce ? now : now + periodMs), periodMs_(periodMs) {}

  bool IsDue(uint32_t now) const { return static_cast<int32_t>(now - due_) >= 0; }
  uint32_t MsUntilDue(uint32_t now) const { return IsDue(now) ? 0 : due_ - now; }

  // Takes the tick that is due, at `now`.
  void Take(uint32_t now) {
    due_ += periodMs_;
    if (static_cast<int32_t>(due_ - now) < 0) {
      due_ = now + periodMs_;
    }
  }

 private:
  uint32_t due_;
  uint32_t periodMs_;
};

}  // namespace zt::cli
