#include "sim/meter_responder.h"

#include "sim/fault_injection.h"

namespace zt::sim {

std::optional<Response> MeterResponder::Respond(const Request& request) {
  const bool faulty = faults_.AppliesTo(request);
  if (faulty && faults_.silent) {
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
    response.bytes = ApplyReplyFaults(faults_, request, std::move(*reply));
    response.delay += faults_.extraDelay;
  } else {
    response.bytes = std::move(*reply);
  }
  return response;
}

}  // namespace zt::sim
