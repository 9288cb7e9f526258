#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zt {

enum class FrameDirection : uint8_t {
  Sent,      // a request handed to the port
  Received,  // what one exchange's wait collected, as it was searched
  Late,      // bytes the line guard discarded before the next request
};

// One frame on the line as the link saw it: when, which way, its bytes and
// what the link made of them.
struct FrameRecord {
  int64_t sequence = 0;
  // On the link's monotonic clock: the moment the request was handed to the
  // port, or the bytes were taken from it.
  std::chrono::microseconds time{0};
  FrameDirection direction = FrameDirection::Sent;
  std::vector<uint8_t> bytes;
  std::string verdict;
};

using FrameObserver = std::function<void(const FrameRecord&)>;

// "01 03 00 06", upper-case, one space apart; "-" for no bytes.
std::string HexBytes(const std::vector<uint8_t>& bytes);

// One line of the frame monitor, without a newline: seconds with
// milliseconds since `origin`, the direction, the bytes and the verdict, e.g.
// "    1.500 RX  01 03 02 00 02 39 85  reply".
std::string FormatFrameRecord(const FrameRecord& record, std::chrono::microseconds origin);

// The latest frames of a link, at most `capacity` of them, each with a
// sequence number that tells a reader which it has already seen.
class FrameJournal {
 public:
  explicit FrameJournal(std::size_t capacity) : capacity_(capacity) {}

  void Append(FrameRecord record);
  // The frames kept whose sequence number is above `after`, oldest first.
  std::vector<FrameRecord> Since(int64_t after) const;

 private:
  std::size_t capacity_;
  int64_t next_ = 1;
  std::deque<FrameRecord> records_;
};

}  // namespace zt
