#include "meter/trend_columns.h"

#include <algorithm>

namespace zt {

std::vector<TrendColumn> ReduceToColumns(const TrendSeries& series, int64_t fromMs, int64_t toMs,
                                         std::size_t columns) {
  std::vector<TrendColumn> result(columns);
  if (columns == 0 || toMs <= fromMs) {
    return result;
  }
  const int64_t width = toMs - fromMs;
  const auto count = static_cast<int64_t>(columns);
  for (const std::span<const TrendPoint> run :
       series.Runs(series.LowerBound(fromMs), series.UpperBound(toMs))) {
    for (const TrendPoint& point : run) {
      const int64_t index = std::min((point.timeMs - fromMs) * count / width, count - 1);
      TrendColumn& column = result[static_cast<std::size_t>(index)];
      if (!point.ok) {
        ++column.failed;
        column.failedAfterLast = true;
        if (column.good == 0) {
          column.failedBeforeFirst = true;
        }
        continue;
      }
      if (column.good == 0) {
        column.min = column.max = column.first = point.value;
        column.firstTimeMs = point.timeMs;
      } else {
        column.min = std::min(column.min, point.value);
        column.max = std::max(column.max, point.value);
      }
      column.last = point.value;
      column.lastTimeMs = point.timeMs;
      column.failedAfterLast = false;
      column.scaleChanged = column.scaleChanged || point.scaleChanged;
      column.decimalPoint = point.decimalPoint;
      ++column.good;
    }
  }
  return result;
}

}  // namespace zt
