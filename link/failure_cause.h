#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/modbus_rtu.h"

namespace zt {

// Why an exchange found no valid reply, read from the bytes it received. The
// reply search alone decides whether an exchange succeeded; this only names
// what the technician should look at when it did not.
enum class FailureCause : uint8_t {
  NoBytes,         // not one byte: a meter that is off, another address, a cut cable
  TooFewBytes,     // the start of a reply and then nothing: a frame cut short
  BadCrc,          // enough bytes, but no frame whose CRC holds: noise, a wrong rate or parity
  OtherAddress,    // a well-formed reply from another address
  Exception,       // the meter refused the request with an exception code
  OtherFunction,   // a well-formed frame from this address with another function code
  OtherRequest,    // a well-formed reply from this address that answers another request
  LateReply,       // the reply came after the wait and was discarded by the line guard
  LocalEchoOnly,   // only the adapter's copy of the request came back
};
inline constexpr int kFailureCauses = 9;

struct FailureCauseName {
  FailureCause cause;
  std::string_view key;     // for JSON and CSV
  std::string_view words;   // for a line of text
};

inline constexpr FailureCauseName kFailureCauseNames[kFailureCauses] = {
    {FailureCause::NoBytes, "no_bytes", "no byte"},
    {FailureCause::TooFewBytes, "too_few_bytes", "too few bytes"},
    {FailureCause::BadCrc, "bad_crc", "bad CRC"},
    {FailureCause::OtherAddress, "other_address", "reply from another address"},
    {FailureCause::Exception, "exception", "exception reply"},
    {FailureCause::OtherFunction, "other_function", "another function"},
    {FailureCause::OtherRequest, "other_request", "reply to another request"},
    {FailureCause::LateReply, "late_reply", "late reply"},
    {FailureCause::LocalEchoOnly, "local_echo_only", "local echo only"},
};

constexpr const FailureCauseName& NameOf(FailureCause cause) {
  return kFailureCauseNames[static_cast<int>(cause)];
}

// A cause, with the exception code when the meter sent one.
struct FailureDiagnosis {
  FailureCause cause = FailureCause::NoBytes;
  uint8_t exceptionCode = 0;

  // "exception reply 02" or the cause's words.
  std::string Words() const;
  bool operator==(const FailureDiagnosis&) const = default;
};

// What an exchange that found no valid reply received: `received` is every
// byte its wait collected (an echo of `request` included), `late` whatever the
// line guard discarded after it before the next request. Only for exchanges
// whose search for `expected` failed.
FailureDiagnosis ClassifyFailure(const TxFrame& request, const ExpectedReply& expected,
                                 std::span<const uint8_t> received,
                                 std::span<const uint8_t> late = {});

}  // namespace zt
