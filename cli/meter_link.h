#pragma once

#include <memory>
#include <optional>

#include "cli/command_line.h"
#include "link/clock.h"
#include "link/serial_port.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "sim/in_process_meter.h"

namespace zt::cli {

// The port, the clock and the session of one run, opened the way the
// console opens its port; with --simulate, the port is the in-process
// simulated meter's.
class MeterLink {
 public:
  explicit MeterLink(const LinkOptions& options) : options_(options) {}

  // On failure, the device tried and the system's reason.
  OpenResult Open();
  MeterSession& Session() { return *session_; }
  const Transaction& Link() const { return *link_; }

 private:
  LinkOptions options_;
  std::optional<sim::InProcessMeter> simulated_;
  SystemClock clock_;
  std::unique_ptr<SerialPort> devicePort_;
  SerialPort* port_ = nullptr;
  std::unique_ptr<Transaction> link_;
  std::unique_ptr<MeterSession> session_;
};

}  // namespace zt::cli
