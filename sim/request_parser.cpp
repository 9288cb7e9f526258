#include "sim/request_parser.h"

#include <algorithm>

#include "link/modbus_rtu.h"

namespace zt::sim {

namespace {

constexpr std::size_t kShortFrameLength = 8;
constexpr std::size_t kWriteMultipleHeader = 7;  // through the byte count
constexpr std::size_t kCrcLength = 2;

uint16_t Word(const uint8_t* at) { return static_cast<uint16_t>((at[0] << 8) | at[1]); }

bool CrcMatches(const uint8_t* frame, std::size_t length) {
  const uint16_t crc = ModbusCrc16(frame, static_cast<int16_t>(length - kCrcLength));
  return frame[length - 2] == (crc >> 8) && frame[length - 1] == (crc & 0xFF);
}

}  // namespace

std::optional<std::size_t> RequestFrameLength(const uint8_t* data, std::size_t size) {
  if (size < 2) {
    return std::nullopt;
  }
  if (data[1] != kFunctionWriteMultipleRegisters) {
    return kShortFrameLength;
  }
  if (size < kWriteMultipleHeader) {
    return std::nullopt;
  }
  return kWriteMultipleHeader + data[6] + kCrcLength;
}

std::optional<Request> ParseRequest(const uint8_t* data, std::size_t size) {
  const std::optional<std::size_t> length = RequestFrameLength(data, size);
  if (!length || size < *length || !CrcMatches(data, *length)) {
    return std::nullopt;
  }
  Request request;
  request.address = data[0];
  request.function = data[1];
  request.first = Word(data + 2);
  request.word = Word(data + 4);
  request.length = *length;
  if (request.function == kFunctionWriteMultipleRegisters) {
    request.byteCount = data[6];
    for (std::size_t i = 0; i + 1 < request.byteCount; i += 2) {
      request.values.push_back(Word(data + kWriteMultipleHeader + i));
    }
  }
  return request;
}

FramedRequest NextRequest(const uint8_t* data, std::size_t size, bool lineIdle) {
  for (std::size_t start = 0; start < size; ++start) {
    const std::size_t rest = size - start;
    const std::optional<std::size_t> length = RequestFrameLength(data + start, rest);
    if (!length || rest < *length) {
      if (lineIdle) {
        continue;
      }
      return {std::nullopt, start};
    }
    if (std::optional<Request> request = ParseRequest(data + start, rest)) {
      return {std::move(request), start + *length};
    }
  }
  return {std::nullopt, size};
}

void RequestFramer::Feed(const uint8_t* data, std::size_t size) {
  buffer_.insert(buffer_.end(), data, data + size);
}

std::optional<Request> RequestFramer::Next() { return Take(false); }

std::optional<Request> RequestFramer::NextAfterSilence() { return Take(true); }

std::optional<Request> RequestFramer::Take(bool lineIdle) {
  FramedRequest found = NextRequest(buffer_.data(), buffer_.size(), lineIdle);
  const std::size_t garbage =
      found.request ? found.consumed - found.request->length : found.consumed;
  discarded_ += garbage;
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(found.consumed, buffer_.size())));
  return std::move(found.request);
}

}  // namespace zt::sim
