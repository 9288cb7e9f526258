#include "link/frame_trace.h"

#include <cstdio>

namespace zt {

namespace {

const char* DirectionText(FrameDirection direction) {
  switch (direction) {
    case FrameDirection::Sent:
      return "TX  ";
    case FrameDirection::Received:
      return "RX  ";
    case FrameDirection::Late:
      return "LATE";
  }
  return "?";
}

}  // namespace

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) {
    return "-";
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const uint8_t byte : bytes) {
    if (!text.empty()) {
      text += ' ';
    }
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string FormatFrameRecord(const FrameRecord& record, std::chrono::microseconds origin) {
  const int64_t ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(record.time - origin).count();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%5lld.%03lld ", static_cast<long long>(ms / 1000),
                static_cast<long long>(ms % 1000));
  return stamp + std::string(DirectionText(record.direction)) + " " + HexBytes(record.bytes) +
         "  " + record.verdict;
}

void FrameJournal::Append(FrameRecord record) {
  record.sequence = next_++;
  records_.push_back(std::move(record));
  while (records_.size() > capacity_) {
    records_.pop_front();
  }
}

std::vector<FrameRecord> FrameJournal::Since(int64_t after) const {
  std::vector<FrameRecord> newer;
  for (const FrameRecord& record : records_) {
    if (record.sequence > after) {
      newer.push_back(record);
    }
  }
  return newer;
}

}  // namespace zt
