#include "link/exchange_statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zt {

namespace {

constexpr std::size_t kBins =
    static_cast<std::size_t>(ExchangeStatistics::kBinnedRange / ExchangeStatistics::kBinWidth);

}  // namespace

void ExchangeStatistics::RecordReply(std::chrono::microseconds latency) {
  latency = std::max(latency, std::chrono::microseconds{0});
  if (bins_.empty()) {
    bins_.assign(kBins, 0);
    min_ = latency;
    max_ = latency;
  }
  min_ = std::min(min_, latency);
  max_ = std::max(max_, latency);
  const auto bin = static_cast<std::size_t>(latency / kBinWidth);
  ++bins_[std::min(bin, kBins - 1)];
  ++replies_;
}

void ExchangeStatistics::RecordFailure(const FailureDiagnosis& diagnosis) {
  ++byCause_[static_cast<std::size_t>(diagnosis.cause)];
  if (diagnosis.cause == FailureCause::Exception) {
    ++byException_[diagnosis.exceptionCode];
  }
}

void ExchangeStatistics::Reclassify(const FailureDiagnosis& was, const FailureDiagnosis& now) {
  if (was == now) {
    return;
  }
  // A failure counted before the counts were reset is counted only as it
  // turned out.
  if (byCause_[static_cast<std::size_t>(was.cause)] > 0) {
    --byCause_[static_cast<std::size_t>(was.cause)];
    if (was.cause == FailureCause::Exception && byException_[was.exceptionCode] > 0) {
      --byException_[was.exceptionCode];
    }
  }
  RecordFailure(now);
}

int64_t ExchangeStatistics::Failures() const {
  return std::accumulate(byCause_.begin(), byCause_.end(), int64_t{0});
}

std::optional<LatencySummary> ExchangeStatistics::Latency() const {
  if (replies_ == 0) {
    return std::nullopt;
  }
  return LatencySummary{min_, Quantile(0.5), Quantile(0.95), max_};
}

std::chrono::microseconds ExchangeStatistics::Quantile(double share) const {
  // Nearest rank: the smallest latency with at least `share` of the replies
  // at or below it.
  const auto rank = std::max<int64_t>(
      1, static_cast<int64_t>(std::ceil(share * static_cast<double>(replies_))));
  int64_t seen = 0;
  for (std::size_t bin = 0; bin < bins_.size(); ++bin) {
    seen += bins_[bin];
    if (seen >= rank) {
      const std::chrono::microseconds upperEdge = kBinWidth * static_cast<int64_t>(bin + 1);
      return std::clamp(upperEdge, min_, max_);
    }
  }
  return max_;
}

int64_t ExchangeSummary::Failures() const {
  return std::accumulate(failures.begin(), failures.end(), int64_t{0});
}

ExchangeSummary ExchangeSummary::Of(const ExchangeStatistics& statistics) {
  ExchangeSummary summary;
  summary.replies = statistics.Replies();
  for (int i = 0; i < kFailureCauses; ++i) {
    summary.failures[static_cast<std::size_t>(i)] =
        statistics.Failures(static_cast<FailureCause>(i));
  }
  for (int code = 0; code < 256; ++code) {
    if (const int64_t count = statistics.Exceptions(static_cast<uint8_t>(code)); count > 0) {
      summary.exceptions.emplace_back(static_cast<uint8_t>(code), count);
    }
  }
  summary.latency = statistics.Latency();
  return summary;
}

}  // namespace zt
