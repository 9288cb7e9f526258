// The trend's series of polls and its reduction to pixel columns.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "meter/trend_columns.h"
#include "meter/trend_series.h"

namespace {

using zt::TrendColumn;
using zt::TrendFigures;
using zt::TrendPoint;
using zt::TrendSeries;

constexpr int64_t kStart = 1'796'000'000'000;  // a wall-clock time in ms

std::vector<int64_t> Times(const TrendSeries& series) {
  std::vector<int64_t> times;
  for (std::size_t i = 0; i < series.Size(); ++i) times.push_back(series[i].timeMs);
  return times;
}

TEST(TrendSeries, KeepsTheNewestPollsInOrderWhenFullOrOlderThanADay) {
  TrendSeries series(4);
  for (int64_t i = 0; i < 7; ++i) series.Add(kStart + i * 1500, static_cast<double>(i), 0);
  EXPECT_EQ(Times(series), (std::vector<int64_t>{kStart + 4500, kStart + 6000, kStart + 7500,
                                                 kStart + 9000}));
  EXPECT_EQ(series[0].value, 3.0);
  EXPECT_EQ(series.Newest().value, 6.0);
  // Searches and runs see the polls in time order across the wrap of the ring.
  EXPECT_EQ(series.LowerBound(kStart + 6000), 1U);
  EXPECT_EQ(series.LowerBound(kStart + 6001), 2U);
  EXPECT_EQ(series.UpperBound(kStart + 9000), 4U);
  EXPECT_EQ(series.LowerBound(kStart), 0U);
  const auto runs = series.Runs(0, 4);
  std::vector<double> values;
  for (const auto run : runs) {
    for (const TrendPoint& point : run) values.push_back(point.value);
  }
  EXPECT_EQ(values, (std::vector<double>{3, 4, 5, 6}));

  TrendSeries day;
  day.Add(kStart, 1.0, 0);
  day.Add(kStart + 1000, 2.0, 0);
  day.Add(kStart + TrendSeries::kKeptMs, 3.0, 0);  // the first is exactly a day old: kept
  EXPECT_EQ(day.Size(), 3U);
  day.Add(kStart + TrendSeries::kKeptMs + 1, 4.0, 0);
  EXPECT_EQ(Times(day), (std::vector<int64_t>{kStart + 1000, kStart + TrendSeries::kKeptMs,
                                              kStart + TrendSeries::kKeptMs + 1}));
  // Polls far apart in time and few in number keep memory to the count bound.
  EXPECT_LE(day.Capacity(), TrendSeries::kDefaultCapacity);
}

TEST(TrendSeries, AClockSetBackKeepsTheSeriesInTimeOrder) {
  TrendSeries series;
  series.Add(kStart + 10'000, 1.0, 0);
  series.Add(kStart, 2.0, 0);  // the wall clock went back ten seconds
  series.Add(kStart + 11'000, 3.0, 0);
  EXPECT_EQ(Times(series), (std::vector<int64_t>{kStart + 10'000, kStart + 10'000,
                                                 kStart + 11'000}));
  EXPECT_EQ(series.LowerBound(kStart + 10'000), 0U);
  EXPECT_EQ(series.UpperBound(kStart + 10'000), 2U);
}

TEST(TrendSeries, FailedPollsAreGapsAndAScaleChangeIsMarkedOnTheGoodPollThatBringsIt) {
  TrendSeries series;
  series.Add(kStart, 10.0, 2);
  series.Add(kStart + 1500, std::nullopt, 3);  // failed: its decimal point marks nothing
  series.Add(kStart + 3000, 10.0, 2);
  series.Add(kStart + 4500, 1.0, 3);
  series.Add(kStart + 6000, std::nullopt, 2);
  series.Add(kStart + 7500, 1.0, 3);
  std::vector<bool> ok;
  std::vector<bool> changed;
  for (std::size_t i = 0; i < series.Size(); ++i) {
    ok.push_back(series[i].ok);
    changed.push_back(series[i].scaleChanged);
  }
  EXPECT_EQ(ok, (std::vector<bool>{true, false, true, true, false, true}));
  EXPECT_EQ(changed, (std::vector<bool>{false, false, false, true, false, false}));

  // After a reset the first good poll has nothing to differ from.
  series.Clear();
  EXPECT_TRUE(series.Empty());
  series.Add(kStart + 9000, 5.0, 1);
  EXPECT_FALSE(series.Newest().scaleChanged);
}

TEST(TrendSeries, FiguresCoverTheSpanBothEndsIncludedAndTheGoodPollsOnly) {
  TrendSeries series;
  series.Add(kStart, 100.0, 0);  // before the span
  series.Add(kStart + 1000, 4.0, 0);
  series.Add(kStart + 2000, std::nullopt, 0);
  series.Add(kStart + 3000, -2.0, 0);
  series.Add(kStart + 4000, 7.0, 0);
  series.Add(kStart + 5000, std::nullopt, 0);  // last poll of the span failed
  series.Add(kStart + 6000, 50.0, 0);          // after the span

  const TrendFigures figures = series.Figures(kStart + 1000, kStart + 5000);
  EXPECT_EQ(figures.polls, 5U);
  EXPECT_EQ(figures.failed, 2U);
  EXPECT_EQ(figures.last, 7.0);  // the last value, not the last poll
  EXPECT_EQ(figures.min, -2.0);
  EXPECT_EQ(figures.max, 7.0);
  EXPECT_DOUBLE_EQ(*figures.mean, 3.0);

  const TrendFigures failedOnly = series.Figures(kStart + 2000, kStart + 2999);
  EXPECT_EQ(failedOnly.polls, 1U);
  EXPECT_EQ(failedOnly.failed, 1U);
  EXPECT_FALSE(failedOnly.last || failedOnly.min || failedOnly.max || failedOnly.mean);

  EXPECT_EQ(series.Figures(kStart + 7000, kStart + 9000).polls, 0U);
  EXPECT_EQ(TrendSeries().Figures(kStart, kStart + 1000).polls, 0U);
}

// Column c holds the polls with c * width <= (t - from) * n < (c + 1) * width,
// the last column also the poll at `to`: every poll is looked at for every
// column.
std::vector<TrendColumn> BruteForce(const TrendSeries& series, int64_t from, int64_t to,
                                    std::size_t n) {
  std::vector<TrendColumn> columns(n);
  const int64_t width = to - from;
  const auto count = static_cast<int64_t>(n);
  for (std::size_t c = 0; c < n; ++c) {
    const auto ci = static_cast<int64_t>(c);
    TrendColumn& column = columns[c];
    bool seenGood = false;
    for (std::size_t i = 0; i < series.Size(); ++i) {
      const TrendPoint& p = series[i];
      if (p.timeMs < from || p.timeMs > to) continue;
      const int64_t scaled = (p.timeMs - from) * count;
      const bool inside = (scaled >= ci * width && scaled < (ci + 1) * width) ||
                          (p.timeMs == to && c == n - 1);
      if (!inside) continue;
      if (!p.ok) {
        ++column.failed;
        if (!seenGood) column.failedBeforeFirst = true;
        continue;
      }
      if (!seenGood) {
        column.first = p.value;
        column.firstTimeMs = p.timeMs;
        column.min = column.max = p.value;
      }
      seenGood = true;
      column.min = std::min(column.min, p.value);
      column.max = std::max(column.max, p.value);
      column.last = p.value;
      column.lastTimeMs = p.timeMs;
      column.scaleChanged |= p.scaleChanged;
      column.decimalPoint = p.decimalPoint;
      ++column.good;
    }
    // A failure after the last good poll of the column.
    for (std::size_t i = series.Size(); i-- > 0;) {
      const TrendPoint& p = series[i];
      if (p.timeMs < from || p.timeMs > to) continue;
      const int64_t scaled = (p.timeMs - from) * count;
      const bool inside = (scaled >= ci * width && scaled < (ci + 1) * width) ||
                          (p.timeMs == to && c == n - 1);
      if (!inside) continue;
      if (p.ok) break;
      column.failedAfterLast = true;
    }
  }
  return columns;
}

TEST(TrendColumns, EveryColumnMatchesABruteForcePassOverRandomPolls) {
  std::mt19937 random(20);
  for (int round = 0; round < 40; ++round) {
    // A small ring, so that many rounds read across its wrap.
    TrendSeries series(static_cast<std::size_t>(200 + random() % 600));
    int64_t t = kStart;
    const int polls = static_cast<int>(random() % 1500);
    for (int i = 0; i < polls; ++i) {
      t += static_cast<int64_t>(random() % 3000);  // several polls may share a millisecond
      const bool ok = random() % 5 != 0;
      const int32_t scale = static_cast<int32_t>(random() % 3 == 0 ? random() % 4 : 0);
      series.Add(t, ok ? std::optional<double>(static_cast<double>(random() % 20001) / 100 - 100)
                       : std::nullopt,
                 scale);
    }
    const int64_t first = series.Empty() ? kStart : series[0].timeMs;
    const int64_t span = std::max<int64_t>(1, t - first);
    // Spans that start before the oldest poll, end past the newest, or cut
    // into the middle; more columns than polls, or far fewer.
    const int64_t from = first - span / 4 + static_cast<int64_t>(random() % static_cast<uint64_t>(span));
    const int64_t to = from + 1 + static_cast<int64_t>(random() % static_cast<uint64_t>(span));
    const std::size_t n = 1 + random() % 900;

    const std::vector<TrendColumn> fast = zt::ReduceToColumns(series, from, to, n);
    const std::vector<TrendColumn> slow = BruteForce(series, from, to, n);
    ASSERT_EQ(fast.size(), n);
    for (std::size_t c = 0; c < n; ++c) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", column " << c << " of " << n);
      ASSERT_EQ(fast[c].good, slow[c].good);
      ASSERT_EQ(fast[c].failed, slow[c].failed);
      ASSERT_EQ(fast[c].failedAfterLast, slow[c].failedAfterLast);
      ASSERT_EQ(fast[c].failedBeforeFirst, slow[c].failedBeforeFirst);
      if (slow[c].good == 0) continue;
      ASSERT_EQ(fast[c].min, slow[c].min);
      ASSERT_EQ(fast[c].max, slow[c].max);
      ASSERT_EQ(fast[c].first, slow[c].first);
      ASSERT_EQ(fast[c].last, slow[c].last);
      ASSERT_EQ(fast[c].firstTimeMs, slow[c].firstTimeMs);
      ASSERT_EQ(fast[c].lastTimeMs, slow[c].lastTimeMs);
      ASSERT_EQ(fast[c].scaleChanged, slow[c].scaleChanged);
      ASSERT_EQ(fast[c].decimalPoint, slow[c].decimalPoint);
    }
  }
}

TEST(TrendColumns, PollsAtTheSpansEndsLandInItsFirstAndLastColumns) {
  TrendSeries series;
  series.Add(kStart - 1, 99.0, 0);  // outside
  series.Add(kStart, 1.0, 0);
  series.Add(kStart + 999, 2.0, 0);
  series.Add(kStart + 1000, 3.0, 0);
  series.Add(kStart + 1001, 99.0, 0);  // outside
  const std::vector<TrendColumn> columns = zt::ReduceToColumns(series, kStart, kStart + 1000, 10);
  EXPECT_EQ(columns[0].good, 1U);
  EXPECT_EQ(columns[0].min, 1.0);
  EXPECT_EQ(columns[9].good, 2U);
  EXPECT_EQ(columns[9].min, 2.0);
  EXPECT_EQ(columns[9].max, 3.0);
  std::size_t all = 0;
  for (const TrendColumn& column : columns) all += column.good;
  EXPECT_EQ(all, 3U);
  EXPECT_TRUE(zt::ReduceToColumns(series, kStart, kStart, 10)[0].good == 0);
}

}  // namespace
