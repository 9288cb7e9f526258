#include "meter/trend_series.h"

#include <algorithm>

namespace zt {

TrendSeries::TrendSeries(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

std::size_t TrendSeries::Slot(std::size_t index) const {
  const std::size_t slot = head_ + index;
  return slot < capacity_ ? slot : slot - capacity_;
}

const TrendPoint& TrendSeries::operator[](std::size_t index) const {
  return slots_[Slot(index)];
}

void TrendSeries::DropOldest() {
  head_ = head_ + 1 == capacity_ ? 0 : head_ + 1;
  --size_;
}

void TrendSeries::Add(int64_t timeMs, std::optional<double> value, int32_t decimalPoint) {
  TrendPoint point;
  point.timeMs = size_ > 0 ? std::max(timeMs, Newest().timeMs) : timeMs;
  point.ok = value.has_value();
  point.value = value.value_or(0.0);
  point.decimalPoint = decimalPoint;
  if (point.ok) {
    point.scaleChanged = lastGoodScale_ && *lastGoodScale_ != decimalPoint;
    lastGoodScale_ = decimalPoint;
  }

  while (size_ > 0 && (*this)[0].timeMs < point.timeMs - kKeptMs) {
    DropOldest();
  }
  if (size_ == capacity_) {
    DropOldest();
  }
  if (slots_.size() < capacity_ && Slot(size_) == slots_.size()) {
    slots_.push_back(point);
  } else {
    slots_[Slot(size_)] = point;
  }
  ++size_;
}

void TrendSeries::Clear() {
  slots_.clear();
  head_ = 0;
  size_ = 0;
  lastGoodScale_.reset();
}

std::size_t TrendSeries::LowerBound(int64_t timeMs) const {
  std::size_t low = 0;
  std::size_t high = size_;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if ((*this)[middle].timeMs < timeMs) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

std::size_t TrendSeries::UpperBound(int64_t timeMs) const {
  return timeMs == INT64_MAX ? size_ : LowerBound(timeMs + 1);
}

std::array<std::span<const TrendPoint>, 2> TrendSeries::Runs(std::size_t begin,
                                                             std::size_t end) const {
  end = std::min(end, size_);
  if (begin >= end) {
    return {};
  }
  const std::size_t first = Slot(begin);
  const std::size_t count = end - begin;
  const std::span<const TrendPoint> all(slots_);
  if (first + count <= slots_.size()) {
    return {all.subspan(first, count), {}};
  }
  const std::size_t head = slots_.size() - first;
  return {all.subspan(first, head), all.subspan(0, count - head)};
}

TrendFigures TrendSeries::Figures(int64_t fromMs, int64_t toMs) const {
  TrendFigures figures;
  if (toMs < fromMs) {
    return figures;
  }
  double sum = 0.0;
  std::size_t good = 0;
  for (const std::span<const TrendPoint> run : Runs(LowerBound(fromMs), UpperBound(toMs))) {
    for (const TrendPoint& point : run) {
      ++figures.polls;
      if (!point.ok) {
        ++figures.failed;
        continue;
      }
      figures.last = point.value;
      figures.min = figures.min ? std::min(*figures.min, point.value) : point.value;
      figures.max = figures.max ? std::max(*figures.max, point.value) : point.value;
      sum += point.value;
      ++good;
    }
  }
  if (good > 0) {
    figures.mean = sum / static_cast<double>(good);
  }
  return figures;
}

}  // namespace zt
