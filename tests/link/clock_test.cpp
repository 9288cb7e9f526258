#include "link/clock.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

TEST(VirtualClock, SleepAndBusyWaitMoveTimeByTheirLength) {
  zt::VirtualClock clock;
  clock.Sleep(600);
  EXPECT_EQ(clock.Now(), milliseconds(600));
  clock.BusyWait(300);
  EXPECT_EQ(clock.Now(), milliseconds(900));
  EXPECT_EQ(clock.TickCount(), 900U);
}

TEST(VirtualClock, BusyWaitAcrossTheTickCountWrap) {
  // 0xFFFFFF00 ms: the 32-bit count wraps 256 ms into the wait. A signed or
  // naive comparison would end the wait at once or never.
  zt::VirtualClock clock(milliseconds(0xFFFFFF00LL));
  clock.BusyWait(300);
  EXPECT_EQ(clock.Now(), milliseconds(0xFFFFFF00LL + 300));
  EXPECT_EQ(clock.TickCount(), 300U - 256U);
}

TEST(VirtualClock, BusyWaitOfZeroReturnsAtOnce) {
  zt::VirtualClock clock(milliseconds(5));
  clock.BusyWait(0);
  EXPECT_EQ(clock.Now(), milliseconds(5));
}

}  // namespace
