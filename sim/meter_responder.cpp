#include "sim/meter_responder.h"

#include "sim/fault_injection.h"

namespace zt::sim {

uint32_t MeterResponder::NextRandom() {
  // xorshift32: repeatable from the seed
  random_ ^= random_ << 13;
  random_ ^= random_ >> 17;
  random_ ^= random_ << 5;
  return random_;
}

FaultConfig MeterResponder::DrawFaults() {
  lastFault_ = FaultKind::None;
  if (mix_.percent == 0) {
    return faults_;
  }
  FaultConfig faults;
  if (NextRandom() % 100 >= mix_.percent) {
    faults.appliesTo = [](const Request&) { return false; };
    return faults;
  }
  lastFault_ = static_cast<FaultKind>(1 + NextRandom() % kFaultKinds);
  switch (lastFault_) {
    case FaultKind::Silent:
      faults.silent = true;
      break;
    case FaultKind::Late:
      faults.extraDelay = std::chrono::microseconds(
          NextRandom() % (static_cast<uint64_t>(mix_.maxLate.count()) + 1));
      break;
    case FaultKind::Noise:
      faults.noiseBytes = 1 + NextRandom() % 16;
      break;
    case FaultKind::BadCrc:
      faults.flipCrcBit = true;
      break;
    case FaultKind::ForeignAddress:
      faults.foreignAddress = true;
      break;
    case FaultKind::Exception:
      faults.exceptionReply = true;
      break;
    case FaultKind::Truncated:
      faults.truncateBytes = 1 + NextRandom() % 3;
      break;
    case FaultKind::Burst:
      faults.burst = true;
      break;
    case FaultKind::None:
      break;
  }
  faults.noiseSeed = NextRandom();
  return faults;
}

std::optional<Response> MeterResponder::Respond(const Request& request) {
  const FaultConfig faults = DrawFaults();
  const bool faulty = faults.AppliesTo(request);
  if (faultObserver_) {
    faultObserver_(request, faulty ? lastFault_ : FaultKind::None);
  }
  if (faulty && faults.silent) {
    return std::nullopt;
  }
  const LineFormat line = meter_.Line();
  std::optional<std::vector<uint8_t>> reply = meter_.Handle(request);
  if (!reply) {
    return std::nullopt;
  }
  Response response;
  response.line = line;
  response.nextLine = meter_.Line();
  response.delay = latency_;
  if (faulty) {
    response.bytes = ApplyReplyFaults(faults, request, std::move(*reply));
    response.delay += faults.extraDelay;
  } else {
    response.bytes = std::move(*reply);
  }
  return response;
}

}  // namespace zt::sim
