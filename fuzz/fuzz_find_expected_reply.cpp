#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "reference_crc.h"
#include "link/modbus_rtu.h"

// The reply search every exchange of the product makes, against a candidate
// by candidate check written from what a reply is: from the meter's address
// (or the second one it may answer from), with the function, the body bytes
// and the length expected, a first register no higher than the highest this
// register holds, and a CRC that holds.
//
// Input layout: flags (bit 0: a second address, bit 1: a highest first
// register), function, address, second address, length, body length (0 to
// 4), four body bytes, the highest first register (high byte first), then
// the received bytes to search.
namespace {

constexpr std::size_t kHeader = 12;

bool IsReplyAt(const uint8_t* frame, const zt::ExpectedReply& expected) {
  const bool fromMeter = frame[0] == expected.address ||
                         (expected.otherAddress && frame[0] == *expected.otherAddress);
  if (!fromMeter || frame[1] != expected.function) {
    return false;
  }
  for (int i = 0; i < expected.bodyLength; ++i) {
    if (frame[2 + i] != expected.body[static_cast<std::size_t>(i)]) {
      return false;
    }
  }
  // A read reply's first register follows its byte count.
  if (expected.maxFirstRegister && expected.length >= 7 &&
      ((frame[3] << 8) | frame[4]) > *expected.maxFirstRegister) {
    return false;
  }
  return zt::fuzz::CrcHolds(frame, expected.length);
}

[[noreturn]] void Fail(const char* what, int found, int count, int length) {
  std::fprintf(stderr, "FindExpectedReply: %s (returned %d, count %d, length %d)\n", what, found,
               count, length);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
  if (size < kHeader) {
    return 0;
  }
  zt::ExpectedReply expected;
  if ((input[0] & 1U) != 0) {
    expected.otherAddress = input[3];
  }
  if ((input[0] & 2U) != 0) {
    expected.maxFirstRegister = static_cast<uint16_t>((input[10] << 8) | input[11]);
  }
  expected.function = input[1];
  expected.address = input[2];
  expected.length = input[4];
  expected.bodyLength = static_cast<int16_t>(input[5] % (zt::ExpectedReply::kMaxBody + 1));
  std::copy(input + 6, input + 10, expected.body.begin());

  const std::size_t available = size - kHeader;
  const auto count = static_cast<int16_t>(std::min<std::size_t>(available, 32767));
  // An exact-size heap copy, so that a read past `count` is an overflow the
  // address sanitizer sees, not a read of the fuzzer's trailing bytes.
  const auto bytes = std::make_unique<uint8_t[]>(static_cast<std::size_t>(count));
  std::copy(input + kHeader, input + kHeader + count, bytes.get());
  const uint8_t* data = bytes.get();

  const int16_t found = zt::FindExpectedReply(data, count, expected);

  // Shorter than address, function, body and CRC: no frame can be one.
  const bool possible = expected.length >= 4 + expected.bodyLength;
  const int lastCandidate = possible ? count - expected.length : -1;
  int first = -1;
  for (int i = 0; i <= lastCandidate && first < 0; ++i) {
    if (IsReplyAt(data + i, expected)) {
      first = i;
    }
  }
  if (found != first) {
    Fail(first < 0 ? "returned a frame that is not a reply"
                   : (found < 0 ? "missed a reply" : "did not return the first reply"),
         found, count, expected.length);
  }
  return 0;
}
