#pragma once

#include <memory>
#include <optional>

#include "cli/command_line.h"
#include "link/clock.h"
#include "link/qt_serial_port.h"
#include "link/serial_port.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "sim/built_in_meter.h"

namespace zt::cli {

// The port, the clock and the session of one run, opened the way the
// console opens its port; with --simulate, also the built-in meter it talks to.
class MeterLink {
 public:
  explicit MeterLink(const LinkOptions& options) : options_(options) {}

  // On failure, the device tried and the system's reason.
  OpenResult Open();
  MeterSession& Session() { return *session_; }

 private:
  LinkOptions options_;
  // Declared first so that it stops serving only after the port has closed.
  std::optional<sim::BuiltInMeter> simulated_;
  SystemClock clock_;
  std::unique_ptr<QtSerialPort> port_;
  std::unique_ptr<Transaction> link_;
  std::unique_ptr<MeterSession> session_;
};

}  // namespace zt::cli
