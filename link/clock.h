#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace zt {

// Time on a monotonic clock, in microseconds from an arbitrary start. Every
// wait of an exchange is a sleep to a deadline on this clock, so the work done
// before a wait never lengthens it.
class Clock {
 public:
  virtual ~Clock() = default;

  virtual std::chrono::microseconds Now() = 0;
  // Returns once Now() has reached `deadline`; at once if it already has.
  virtual void SleepUntil(std::chrono::microseconds deadline) = 0;

  void Sleep(std::chrono::microseconds span) { SleepUntil(Now() + span); }

  // The millisecond tick count: Now() cut to 32 bits, so it wraps after 49.7
  // days like the system's. Whoever compares two readings compares their
  // unsigned difference.
  uint32_t TickCount() {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Now()).count());
  }
};

// Returns at `deadline` on the steady clock, not a slack later: every wait of
// the program ends here.
void SleepUntilSteady(std::chrono::steady_clock::time_point deadline);

// std::chrono::steady_clock.
class SystemClock final : public Clock {
 public:
  std::chrono::microseconds Now() override;
  void SleepUntil(std::chrono::microseconds deadline) override;
};

// Time that moves only when told to, or when the code under test sleeps: a
// test that waits 1.5 s takes no time at all.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(std::chrono::microseconds start = std::chrono::microseconds{0})
      : now_(start) {}

  std::chrono::microseconds Now() override { return now_; }
  std::chrono::microseconds Now() const { return now_; }
  void SleepUntil(std::chrono::microseconds deadline) override {
    if (deadline > now_) {
      if (recording_) {
        sleepsMs_.push_back(static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now_).count()));
      }
      now_ = deadline;
    }
  }

  void Advance(std::chrono::microseconds step) { now_ += step; }

  // From now on keeps every sleep that moves the clock, in whole
  // milliseconds, for a test that checks the waits of an exchange.
  void RecordSleeps() { recording_ = true; }
  const std::vector<uint32_t>& SleepsMs() const { return sleepsMs_; }

 private:
  std::chrono::microseconds now_;
  bool recording_ = false;
  std::vector<uint32_t> sleepsMs_;
};

}  // namespace zt
