#pragma once

#include <cstdint>
#include <string>

namespace zt {

// Quality of the link as the measurement poll sees it.
struct LinkStatistics {
  int32_t successCount = 0;
  int32_t failureCount = 0;
  std::string errorRate = "0";  // until the first poll

  // Counts one poll, then recomputes the rate over every poll so far,
  // the current one included: failures × 100 / polls, "%.4f" and "%".
  void Record(bool replied);
};

}  // namespace zt
