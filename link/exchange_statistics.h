#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/failure_cause.h"

namespace zt {

// The reply latency of the successful exchanges, as a technician reads it.
struct LatencySummary {
  std::chrono::microseconds min{0};
  std::chrono::microseconds median{0};
  std::chrono::microseconds p95{0};
  std::chrono::microseconds max{0};
};

// Every exchange of a link counted by its outcome: a valid reply, or the
// cause of its failure (exception replies also by code), and the latency of
// the valid replies. Memory stays the same however long the link runs: the
// latencies go into bins of 0.1 ms, so the median and the 95th percentile are
// exact to 0.1 ms while the minimum and maximum are exact.
class ExchangeStatistics {
 public:
  static constexpr std::chrono::microseconds kBinWidth{100};
  // Longer latencies share the last bin; the reply waits end well before.
  static constexpr std::chrono::microseconds kBinnedRange{2'000'000};

  void RecordReply(std::chrono::microseconds latency);
  void RecordFailure(const FailureDiagnosis& diagnosis);
  // A failure first counted as `was` turned out to be `now` (a reply that
  // came after the wait).
  void Reclassify(const FailureDiagnosis& was, const FailureDiagnosis& now);

  int64_t Exchanges() const { return replies_ + Failures(); }
  int64_t Replies() const { return replies_; }
  int64_t Failures() const;
  int64_t Failures(FailureCause cause) const { return byCause_[static_cast<std::size_t>(cause)]; }
  // Exception replies with `code`.
  int64_t Exceptions(uint8_t code) const { return byException_[code]; }
  // None before the first valid reply.
  std::optional<LatencySummary> Latency() const;

 private:
  // The latency below which `share` (0 to 1) of the replies fall, as the
  // upper edge of its bin, kept within the exact extremes.
  std::chrono::microseconds Quantile(double share) const;

  int64_t replies_ = 0;
  std::array<int64_t, kFailureCauses> byCause_{};
  std::array<int64_t, 256> byException_{};
  std::chrono::microseconds min_{0};
  std::chrono::microseconds max_{0};
  std::vector<uint32_t> bins_;
};

// What a front end shows of one link's statistics: a copy taken on the
// link's thread, small enough to hand to another.
struct ExchangeSummary {
  int64_t replies = 0;
  std::array<int64_t, kFailureCauses> failures{};
  // (code, count) of every exception code seen, in code order.
  std::vector<std::pair<uint8_t, int64_t>> exceptions;
  std::optional<LatencySummary> latency;

  int64_t Failures() const;
  static ExchangeSummary Of(const ExchangeStatistics& statistics);
};

}  // namespace zt
