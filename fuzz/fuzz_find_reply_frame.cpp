#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "reference_crc.h"
#include "link/modbus_rtu.h"

// Input layout: function code, meter address, expected length (a signed
// byte, so lengths below 2 and negative ones are reached), then the received
// bytes to search.
namespace {

bool IsReplyAt(const uint8_t* data, int at, uint8_t function, uint8_t address, int length) {
  if (data[at] != address || data[at + 1] != function) {
    return false;
  }
  return zt::fuzz::CrcHolds(data + at, length);
}

[[noreturn]] void Fail(const char* what, int found, int count, int length) {
  std::fprintf(stderr, "FindReplyFrame: %s (returned %d, count %d, length %d)\n", what, found,
               count, length);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
  if (size < 3) {
    return 0;
  }
  const uint8_t function = input[0];
  const uint8_t address = input[1];
  const auto length = static_cast<int16_t>(static_cast<int8_t>(input[2]));
  const std::size_t available = size - 3;
  const auto count =
      static_cast<int16_t>(available > 32767 ? std::size_t{32767} : available);

  // An exact-size heap copy, so that a read past `count` is an overflow the
  // address sanitizer sees, not a read of the fuzzer's trailing bytes.
  const auto bytes = std::make_unique<uint8_t[]>(static_cast<std::size_t>(count));
  std::copy(input + 3, input + 3 + count, bytes.get());
  const uint8_t* data = bytes.get();

  const int16_t found = FindReplyFrame(data, count, function, address, length);

  const int lastCandidate = length >= 2 ? count - length : -1;
  if (found == -1) {
    for (int i = 0; i <= lastCandidate; ++i) {
      if (IsReplyAt(data, i, function, address, length)) {
        Fail("missed a valid reply", found, count, length);
      }
    }
    return 0;
  }
  if (length < 2 || found < 0 || found > lastCandidate) {
    Fail("index out of bounds", found, count, length);
  }
  if (!IsReplyAt(data, found, function, address, length)) {
    Fail("returned frame is not a valid reply", found, count, length);
  }
  for (int i = 0; i < found; ++i) {
    if (IsReplyAt(data, i, function, address, length)) {
      Fail("an earlier valid reply was skipped", found, count, length);
    }
  }
  return 0;
}
