#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zt {

// One measurement poll as the window showed it: the scaled live value, or
// none when the poll got no valid reply.
struct TrendPoint {
  int64_t timeMs = 0;  // wall clock, milliseconds since the epoch
  double value = 0.0;  // meaningful only when `ok`
  int32_t decimalPoint = 0;
  bool ok = false;
  // A good value scaled by another decimal point than the good value before
  // it: the line jumps by a power of ten there without the current having
  // changed.
  bool scaleChanged = false;
};

// What the polls between two instants come to. The values cover the good
// polls only; `polls` counts every poll, `failed` those without a value.
struct TrendFigures {
  std::optional<double> last;
  std::optional<double> min;
  std::optional<double> max;
  std::optional<double> mean;
  std::size_t polls = 0;
  std::size_t failed = 0;
};

// The polls of the last 24 hours, oldest first. The poll's pace depends on
// the baud rate and the exchange policy, so the count is bounded as well:
// once full, each new poll drops the oldest.
class TrendSeries {
 public:
  static constexpr int64_t kKeptMs = 24LL * 60 * 60 * 1000;
  // A day at 6 polls a second; 24 bytes a poll, about 12 MB at most.
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 19;

  explicit TrendSeries(std::size_t capacity = kDefaultCapacity);

  // A poll at `timeMs`, its value empty when it failed. A time before the
  // newest poll's (the wall clock set back) is taken as the newest poll's,
  // so that the series stays in time order.
  void Add(int64_t timeMs, std::optional<double> value, int32_t decimalPoint);
  void Clear();

  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  std::size_t Capacity() const { return capacity_; }
  // 0 is the oldest poll kept.
  const TrendPoint& operator[](std::size_t index) const;
  const TrendPoint& Newest() const { return (*this)[size_ - 1]; }

  // The first poll at or after `timeMs` (Size() if none).
  std::size_t LowerBound(int64_t timeMs) const;
  // The first poll after `timeMs` (Size() if none).
  std::size_t UpperBound(int64_t timeMs) const;
  // Polls [begin, end) as at most two runs in memory, in time order.
  std::array<std::span<const TrendPoint>, 2> Runs(std::size_t begin, std::size_t end) const;

  // The polls from `fromMs` to `toMs`, both included.
  TrendFigures Figures(int64_t fromMs, int64_t toMs) const;

 private:
  std::size_t Slot(std::size_t index) const;
  void DropOldest();

  std::size_t capacity_;
  std::vector<TrendPoint> slots_;
  std::size_t head_ = 0;  // slot of the oldest poll
  std::size_t size_ = 0;
  std::optional<int32_t> lastGoodScale_;
};

}  // namespace zt
