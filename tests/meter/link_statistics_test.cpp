#include "meter/link_statistics.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkStatistics, RateShowsZeroUntilTheFirstPoll) {
  EXPECT_EQ(zt::LinkStatistics{}.errorRate, "0");
}

TEST(LinkStatistics, RateCoversEveryPollIncludingTheCurrentOne) {
  zt::LinkStatistics stats;
  stats.Record(true);
  EXPECT_EQ(stats.errorRate, "0.0000%");
  stats.Record(false);
  EXPECT_EQ(stats.errorRate, "50.0000%");
  stats.Record(true);
  EXPECT_EQ(stats.errorRate, "33.3333%");
  EXPECT_EQ(stats.successCount, 2);
  EXPECT_EQ(stats.failureCount, 1);
}

TEST(LinkStatistics, EveryPollFailingShowsAHundredPercent) {
  zt::LinkStatistics stats;
  for (int i = 0; i < 3; ++i) stats.Record(false);
  EXPECT_EQ(stats.errorRate, "100.0000%");
  stats.Record(true);
  EXPECT_EQ(stats.errorRate, "75.0000%");
}

}  // namespace
