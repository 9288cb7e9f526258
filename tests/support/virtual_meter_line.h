#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/transaction.h"
#include "meter/meter_line.h"
#include "sim/fault_config.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"

namespace zt::test {

// The simulated meter behind the simulated port on a virtual clock, with the
// console's transaction on that port: a serial line where a 1.5 s poll takes
// no time at all. Tests derive from it or hold one.
class VirtualMeterLine {
 public:
  // Port 1, the given line format, opened as the console opens it at start.
  // False if the port refused the format or would not open.
  bool OpenLine(std::string_view settings = "9600,N,8,2");

  // Every request goes unanswered, or only those touching `first`..`last`.
  void Silence();
  void SilenceRegisters(uint16_t first, uint16_t last);

  // The frames written so far, as "ms: hex" rows (ms since the clock's
  // start, with three decimals where the time falls between milliseconds).
  std::vector<std::string> Frames() const;

  VirtualClock clock;
  sim::MeterModel meter;
  sim::SimulatedPort port{clock, meter};
  // The console's line on that port. OpenLine opens the simulated port
  // itself, not through the line, so that nothing reopens a port a test
  // pulls out.
  MeterLine meterLine{port, clock, LinkSettings{}};
  Transaction& transaction = meterLine.Transaction();
};

// One row of Frames(): `frame` written at `ms`.
std::string At(long long ms, std::string_view frame);

}  // namespace zt::test
