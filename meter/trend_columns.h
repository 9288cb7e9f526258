#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "meter/trend_series.h"

namespace zt {

// The polls that fall into one pixel column of a plot: enough to draw the
// column as a vertical stroke from its minimum to its maximum, joined to its
// neighbours by its first and its last good value.
struct TrendColumn {
  std::size_t good = 0;
  std::size_t failed = 0;
  double min = 0.0;
  double max = 0.0;
  double first = 0.0;
  double last = 0.0;
  int64_t firstTimeMs = 0;
  int64_t lastTimeMs = 0;
  // A failed poll came before the column's first good one, or after its last
  // one: the line must not be joined across it. Without good polls, both
  // are set as soon as one poll failed.
  bool failedBeforeFirst = false;
  bool failedAfterLast = false;
  // A good poll in the column changed the scale; the decimal point of the
  // column's last good poll.
  bool scaleChanged = false;
  int32_t decimalPoint = 0;
};

// The polls from `fromMs` to `toMs` (both included) in `columns` columns of
// equal time, column c holding the polls with
// c * (to - from) <= (time - from) * columns < (c + 1) * (to - from); a poll
// at `toMs` itself goes to the last column. One pass over the polls shown,
// whatever the number of columns, so that a full day redraws quickly.
std::vector<TrendColumn> ReduceToColumns(const TrendSeries& series, int64_t fromMs, int64_t toMs,
                                         std::size_t columns);

}  // namespace zt
