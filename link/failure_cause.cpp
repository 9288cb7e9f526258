#include "link/failure_cause.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace zt {

namespace {

static_assert([] {
  for (int i = 0; i < kFailureCauses; ++i) {
    if (static_cast<int>(kFailureCauseNames[i].cause) != i) {
      return false;
    }
  }
  return true;
}());

bool CrcHolds(std::span<const uint8_t> frame) {
  const auto length = static_cast<int16_t>(frame.size());
  const uint16_t crc = ModbusCrc16(frame.data(), static_cast<int16_t>(length - 2));
  return frame[frame.size() - 2] == (crc >> 8) && frame[frame.size() - 1] == (crc & 0xFF);
}

// The length of a well-formed frame starting at data[0], if there is one: the
// lengths its function code implies, and the length of the reply expected.
std::optional<std::size_t> WellFormedFrame(std::span<const uint8_t> data,
                                           std::size_t expectedLength) {
  if (data.size() < kExceptionReplyLength) {
    return std::nullopt;
  }
  const uint8_t function = data[1];
  std::array<std::size_t, 2> lengths{expectedLength, 0};
  if ((function & kExceptionFlag) != 0) {
    lengths[1] = kExceptionReplyLength;
  } else if (function >= 1 && function <= 4) {
    lengths[1] = 5 + std::size_t{data[2]};  // a read reply: its byte count says
  } else if (function == 5 || function == kFunctionWriteSingleRegister || function == 15 ||
             function == kFunctionWriteMultipleRegisters) {
    lengths[1] = kWriteReplyLength;
  }
  for (const std::size_t length : lengths) {
    if (length >= 4 && length <= data.size() && CrcHolds(data.first(length))) {
      return length;
    }
  }
  return std::nullopt;
}

bool FromMeter(uint8_t address, const ExpectedReply& expected) {
  return address == expected.address || (expected.otherAddress && address == *expected.otherAddress);
}

bool BeginsWith(std::span<const uint8_t> data, const TxFrame& request) {
  const auto length = static_cast<std::size_t>(request.length);
  return length > 0 && data.size() >= length &&
         std::equal(request.bytes.begin(), request.bytes.begin() + request.length, data.begin());
}

}  // namespace

std::string FailureDiagnosis::Words() const {
  if (cause != FailureCause::Exception) {
    return std::string(NameOf(cause).words);
  }
  char code[4];
  std::snprintf(code, sizeof code, "%02X", exceptionCode);
  return std::string(NameOf(cause).words) + " " + code;
}

FailureDiagnosis ClassifyFailure(const TxFrame& request, const ExpectedReply& expected,
                                 std::span<const uint8_t> received, std::span<const uint8_t> late) {
  // Bytes that arrive after the wait are the reply to this request when it
  // left nothing but silence, an echo or the start of a frame behind it.
  const auto lateOr = [&](FailureCause otherwise) {
    return FailureDiagnosis{late.empty() ? otherwise : FailureCause::LateReply};
  };
  if (received.empty()) {
    return lateOr(FailureCause::NoBytes);
  }
  const std::span<const uint8_t> rest =
      BeginsWith(received, request) ? received.subspan(static_cast<std::size_t>(request.length))
                                    : received;
  if (rest.empty()) {
    return lateOr(FailureCause::LocalEchoOnly);
  }

  // The most telling frame wins: the meter's own refusal, then its reply to
  // something else, then a frame of its with another function, then a frame
  // from someone else.
  std::optional<FailureCause> best;
  const auto rank = [](FailureCause cause) {
    switch (cause) {
      case FailureCause::OtherRequest:
        return 3;
      case FailureCause::OtherFunction:
        return 2;
      default:
        return 1;
    }
  };
  const auto expectedLength = static_cast<std::size_t>(expected.length);
  for (std::size_t i = 0; i + kExceptionReplyLength <= rest.size(); ++i) {
    const std::span<const uint8_t> at = rest.subspan(i);
    if (!WellFormedFrame(at, expectedLength)) {
      continue;
    }
    FailureCause found = FailureCause::OtherAddress;
    if (FromMeter(at[0], expected)) {
      if (at[1] == (expected.function | kExceptionFlag)) {
        return {FailureCause::Exception, at[2]};
      }
      found = at[1] == expected.function ? FailureCause::OtherRequest : FailureCause::OtherFunction;
    }
    if (!best || rank(found) > rank(*best)) {
      best = found;
    }
  }
  if (best) {
    return {*best};
  }
  if (rest.size() < expectedLength) {
    return lateOr(FailureCause::TooFewBytes);
  }
  return {FailureCause::BadCrc};
}

}  // namespace zt
