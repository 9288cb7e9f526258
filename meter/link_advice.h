#pragma once

#include <string_view>

#include "link/failure_cause.h"

namespace zt {

// What the technician should look at when most of a link's failures had
// this cause.
struct LinkAdvice {
  FailureCause cause;
  std::string_view check;
};

inline constexpr LinkAdvice kLinkAdvice[kFailureCauses] = {
    {FailureCause::NoBytes, "power, A/B wiring, address, rate"},
    {FailureCause::TooFewBytes, "rate, parity, termination, noise"},
    {FailureCause::BadCrc, "rate, parity, termination, noise"},
    {FailureCause::OtherAddress, "two meters with one address"},
    {FailureCause::Exception, "the meter refused the register"},
    {FailureCause::OtherFunction, "another master on the line"},
    {FailureCause::OtherRequest, "another master on the line"},
    {FailureCause::LateReply, "the meter answers late: rate, a slow converter"},
    {FailureCause::LocalEchoOnly, "power, A/B wiring, address (only the adapter's echo came back)"},
};

constexpr std::string_view AdviceFor(FailureCause cause) {
  return kLinkAdvice[static_cast<int>(cause)].check;
}

}  // namespace zt
