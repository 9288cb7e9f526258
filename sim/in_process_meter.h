#pragma once

#include <chrono>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/serial_port.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"

namespace zt::sim {

// The simulated meter of --simulate: the meter model on the far end of a
// simulated port, in this process, on a monotonic clock. Reply bytes become
// waiting once latency and line time have really passed, as on a cable; no
// thread, no pty. The meter is wired to port 1.
class InProcessMeter {
 public:
  // The meter answers at the address, rate and parity of `answersAt`.
  explicit InProcessMeter(const LinkSettings& answersAt = {});
  InProcessMeter(const InProcessMeter&) = delete;
  InProcessMeter& operator=(const InProcessMeter&) = delete;

  SerialPort& Port() { return port_; }
  MeterModel& Meter() { return meter_; }

 private:
  SystemClock clock_;
  MeterModel meter_;
  SimulatedPort port_;
};

}  // namespace zt::sim
