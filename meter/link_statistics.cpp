#include "meter/link_statistics.h"

#include <cstdio>

namespace zt {

void LinkStatistics::Record(bool replied) {
  ++(replied ? successCount : failureCount);
  const double polls = static_cast<double>(successCount) + failureCount;
  char text[32];
  std::snprintf(text, sizeof text, "%.4f%%", failureCount * 100.0 / polls);
  errorRate = text;
}

}  // namespace zt
