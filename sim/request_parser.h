#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zt::sim {

// One request as the meter receives it. `first` is the register of functions
// 3, 6 and 16; `word` is the register count of functions 3 and 16 and the
// value of function 6. For any other function code they hold bytes 2..5 as
// they came.
struct Request {
  uint8_t address = 0;
  uint8_t function = 0;
  uint16_t first = 0;
  uint16_t word = 0;
  uint8_t byteCount = 0;         // function 16 only
  std::vector<uint16_t> values;  // function 16 only: byteCount / 2 words
  std::size_t length = 0;        // bytes the frame occupies, CRC included

  friend bool operator==(const Request&, const Request&) = default;
};

// Length of the frame that starts at data[0], CRC included, or nothing while
// too few bytes are there to tell: functions 3 and 6 take 8 bytes, function 16
// takes 9 plus its byte count, and any other code is taken as 8 bytes so that
// the meter can refuse it with "illegal function".
std::optional<std::size_t> RequestFrameLength(const uint8_t* data, std::size_t size);

// The request at the start of `data`, if a complete one with a good CRC is
// there. Bytes after it are ignored.
std::optional<Request> ParseRequest(const uint8_t* data, std::size_t size);

struct FramedRequest {
  std::optional<Request> request;
  // Bytes to drop from the front: skipped garbage, plus the request if found.
  std::size_t consumed = 0;
};

// The first complete request in `data`. A start whose CRC fails is garbage:
// one byte is skipped and the search goes on from the next. Without a request
// the search stops at the first start that is still incomplete, whose bytes
// are kept for more to arrive; when `lineIdle` says the line has gone silent,
// an incomplete start is garbage too, since a frame never spans a silence.
FramedRequest NextRequest(const uint8_t* data, std::size_t size, bool lineIdle = false);

// Accumulates received bytes and hands out the requests found in them.
class RequestFramer {
 public:
  void Feed(const uint8_t* data, std::size_t size);

  // The next complete request, or nothing while more bytes are needed.
  std::optional<Request> Next();
  // Called when the line has been silent for a frame gap: what is left
  // incomplete can no longer become a request and is searched for one last.
  std::optional<Request> NextAfterSilence();

  std::size_t Buffered() const { return buffer_.size(); }
  // Bytes thrown away as garbage so far.
  std::size_t Discarded() const { return discarded_; }
  void Clear() { buffer_.clear(); }

 private:
  std::optional<Request> Take(bool lineIdle);

  std::vector<uint8_t> buffer_;
  std::size_t discarded_ = 0;
};

}  // namespace zt::sim
