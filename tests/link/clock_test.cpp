#include "link/clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(VirtualClock, SleepsEndAtTheirDeadlineAndNeverGoBack) {
  zt::VirtualClock clock;
  clock.SleepUntil(milliseconds(600));
  EXPECT_EQ(clock.Now(), milliseconds(600));
  clock.Advance(microseconds(250));
  // A deadline measured from an earlier moment is not prolonged by the work
  // done since.
  clock.SleepUntil(milliseconds(900));
  EXPECT_EQ(clock.Now(), milliseconds(900));
  clock.SleepUntil(milliseconds(800));
  EXPECT_EQ(clock.Now(), milliseconds(900));
  clock.Sleep(microseconds(1500));
  EXPECT_EQ(clock.Now(), microseconds(901'500));
  EXPECT_EQ(clock.TickCount(), 901U);
}

TEST(VirtualClock, TickCountWrapsLikeTheSystems) {
  // 0xFFFFFF00 ms: the 32-bit count wraps 256 ms into a 300 ms sleep; the
  // unsigned difference of two readings still gives the time between them.
  zt::VirtualClock clock(milliseconds(0xFFFFFF00LL));
  const uint32_t before = clock.TickCount();
  clock.Sleep(milliseconds(300));
  EXPECT_EQ(clock.TickCount(), 300U - 256U);
  EXPECT_EQ(static_cast<uint32_t>(clock.TickCount() - before), 300U);
}

TEST(VirtualClock, KeepsTheSleepsThatMoveItOnceAskedInWholeMilliseconds) {
  zt::VirtualClock clock;
  clock.Sleep(milliseconds(5));
  clock.RecordSleeps();
  clock.Sleep(microseconds(20'700));
  clock.SleepUntil(milliseconds(1));  // already past: no sleep
  clock.Advance(milliseconds(3));     // not a sleep
  clock.Sleep(milliseconds(580));
  EXPECT_EQ(clock.SleepsMs(), (std::vector<uint32_t>{20, 580}));
}

TEST(SystemClock, SleepUntilReturnsNoEarlierThanTheDeadline) {
  zt::SystemClock clock;
  const microseconds deadline = clock.Now() + milliseconds(2);
  clock.SleepUntil(deadline);
  EXPECT_GE(clock.Now(), deadline);
}

}  // namespace
