#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/failure_cause.h"

namespace zt {

// The failures of a link since its last success, for a front end that says
// why the meter does not answer.
class RecentFailures {
 public:
  void Failed(const FailureDiagnosis& diagnosis) {
    const auto index = static_cast<std::size_t>(diagnosis.cause);
    ++counts_[index];
    seen_[index] = ++sequence_;
    if (diagnosis.cause == FailureCause::Exception) {
      exceptionCode_ = diagnosis.exceptionCode;
    }
  }
  void Succeeded() { *this = RecentFailures{}; }

  // The most frequent cause since the last success, the later one seen of
  // two as frequent, with the latest exception code; none since a success.
  std::optional<FailureDiagnosis> MainCause() const {
    std::optional<std::size_t> main;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
      if (counts_[i] > 0 && (!main || counts_[i] > counts_[*main] ||
                             (counts_[i] == counts_[*main] && seen_[i] > seen_[*main]))) {
        main = i;
      }
    }
    if (!main) {
      return std::nullopt;
    }
    const auto cause = static_cast<FailureCause>(*main);
    return FailureDiagnosis{cause, cause == FailureCause::Exception ? exceptionCode_ : uint8_t{0}};
  }

 private:
  std::array<int64_t, kFailureCauses> counts_{};
  // When each cause was last seen, in failures counted.
  std::array<int64_t, kFailureCauses> seen_{};
  int64_t sequence_ = 0;
  uint8_t exceptionCode_ = 0;
};

}  // namespace zt
