#pragma once

#include <chrono>
#include <cstdint>

namespace zt {

// The waits of an exchange. Sleep suspends the thread; BusyWait spins on the
// millisecond tick count, comparing the unsigned difference of two readings so
// that the 49-day wrap of the count does not end or prolong the wait.
class Clock {
 public:
  virtual ~Clock() = default;

  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual uint32_t TickCount() = 0;

  void BusyWait(uint32_t milliseconds) {
    const uint32_t start = TickCount();
    while (static_cast<uint32_t>(TickCount() - start) < milliseconds) {
      Spin();
    }
  }

 protected:
  // One turn of the busy-wait loop.
  virtual void Spin() {}
};

class SystemClock final : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override;
  uint32_t TickCount() override;
};

// Time that moves only when told to, or when the code under test sleeps or
// busy-waits: a test that waits 1.5 s takes no time at all. Each turn of a
// busy-wait loop moves the time on by one millisecond, as a real tick count
// would move while the loop polls it.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(std::chrono::microseconds start = std::chrono::microseconds{0})
      : now_(start) {}

  void Sleep(uint32_t milliseconds) override { Advance(std::chrono::milliseconds(milliseconds)); }
  uint32_t TickCount() override {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now_).count());
  }

  std::chrono::microseconds Now() const { return now_; }
  void Advance(std::chrono::microseconds step) { now_ += step; }

 protected:
  void Spin() override { Advance(std::chrono::milliseconds(1)); }

 private:
  std::chrono::microseconds now_;
};

}  // namespace zt
