#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "link/link_settings.h"
#include "sim/fault_config.h"
#include "sim/line_timing.h"
#include "sim/meter_model.h"
#include "sim/request_parser.h"

namespace zt::sim {

// What the meter puts on the line after hearing a request.
struct Response {
  std::vector<uint8_t> bytes;
  // From the request's last byte to the reply's first.
  std::chrono::microseconds delay{0};
  // The line the reply goes out on: the meter's line when it heard the
  // request, even when the request changed it.
  LineFormat line;
  // The meter's line after the request; differs from `line` when the request
  // changed the baud rate, which then applies once the reply has gone.
  LineFormat nextLine;
};

// The meter seen from the line: the model, its reply latency and the faults.
class MeterResponder {
 public:
  explicit MeterResponder(MeterModel& meter) : meter_(meter) {}

  // Nothing when the request is not for this meter or not heard; a response
  // with no bytes when the whole reply was cut off.
  std::optional<Response> Respond(const Request& request);

  void SetFaults(FaultConfig faults) { faults_ = std::move(faults); }
  const FaultConfig& Faults() const { return faults_; }
  void SetFaultMix(FaultMix mix) {
    mix_ = mix;
    random_ = mix.seed == 0 ? 1 : mix.seed;
  }
  // The fault the latest request got.
  FaultKind LastFault() const { return lastFault_; }
  // Told of every request the meter hears, with the fault it got, so that a
  // test can tell what each request of a sequence met.
  void SetFaultObserver(std::function<void(const Request&, FaultKind)> observer) {
    faultObserver_ = std::move(observer);
  }
  void SetLatency(std::chrono::microseconds latency) { latency_ = latency; }
  std::chrono::microseconds Latency() const { return latency_; }

  MeterModel& Meter() const { return meter_; }

 private:
  // One fault drawn from the mix for the next request; the fixed faults
  // when no mix is set.
  FaultConfig DrawFaults();
  uint32_t NextRandom();

  MeterModel& meter_;
  FaultConfig faults_;
  FaultMix mix_;
  uint32_t random_ = 1;
  FaultKind lastFault_ = FaultKind::None;
  std::function<void(const Request&, FaultKind)> faultObserver_;
  std::chrono::microseconds latency_ = kDefaultReplyLatency;
};

}  // namespace zt::sim
