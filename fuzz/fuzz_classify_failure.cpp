#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/failure_cause.h"
#include "link/modbus_rtu.h"

// The naming of a failed exchange, over any bytes a line can bring: it must
// never read outside them, always name one of the causes, say the same of
// the same bytes, and follow the rules a technician relies on (silence is
// silence, a late reply is late, the adapter's own copy is an echo).
//
// Input layout: the request (0: a read, 1: a function 6 write, 2: a
// function 16 write), its address, register (high byte first), count or
// value (high byte first), the share of the bytes received within the wait
// (the rest came late), then the bytes.
namespace {

constexpr std::size_t kHeader = 7;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "ClassifyFailure: %s\n", what);
  std::abort();
}

zt::TxFrame Request(const uint8_t* input) {
  const uint8_t address = input[1];
  const auto registerNumber = static_cast<uint16_t>((input[2] << 8) | input[3]);
  const auto value = static_cast<uint16_t>((input[4] << 8) | input[5]);
  switch (input[0] % 3) {
    case 0:
      // Up to the 125 registers a read may ask for.
      return zt::BuildReadRequest(address, registerNumber, static_cast<uint16_t>(value % 125 + 1));
    case 1:
      return zt::BuildWriteSingleRequest(address, registerNumber, value);
    default:
      return zt::BuildWriteTwoRegistersRequest(address, registerNumber, value, 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
  if (size < kHeader) {
    return 0;
  }
  const zt::TxFrame request = Request(input);
  const zt::ExpectedReply expected = input[0] % 3 == 0 ? zt::ExpectedReply::ReadOf(request)
                                                       : zt::ExpectedReply::EchoOf(request);
  const std::size_t available = size - kHeader;
  const std::size_t split = available * input[6] / 255;
  // Exact-size copies, so that a read past either is an overflow the address
  // sanitizer sees.
  const std::vector<uint8_t> received(input + kHeader, input + kHeader + split);
  const std::vector<uint8_t> late(input + kHeader + split, input + size);
  // Only exchanges whose search failed are named.
  if (zt::FindExpectedReply(received.data(), static_cast<int16_t>(std::min<std::size_t>(
                                                 received.size(), 32767)),
                            expected) >= 0) {
    return 0;
  }

  const zt::FailureDiagnosis diagnosis = zt::ClassifyFailure(request, expected, received, late);
  if (static_cast<int>(diagnosis.cause) >= zt::kFailureCauses) {
    Fail("a cause outside the table");
  }
  if (!(zt::ClassifyFailure(request, expected, received, late) == diagnosis)) {
    Fail("two answers for the same bytes");
  }
  if (diagnosis.Words().empty()) {
    Fail("a cause without words");
  }
  const bool echoOnly = received.size() == static_cast<std::size_t>(request.length) &&
                        std::equal(received.begin(), received.end(), request.bytes.begin());
  if (received.empty() || echoOnly) {
    const zt::FailureCause silent =
        received.empty() ? zt::FailureCause::NoBytes : zt::FailureCause::LocalEchoOnly;
    if (diagnosis.cause != (late.empty() ? silent : zt::FailureCause::LateReply)) {
      Fail("silence, an echo alone or a late reply named otherwise");
    }
  }
  return 0;
}
