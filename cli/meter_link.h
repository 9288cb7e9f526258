#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "cli/command_line.h"
#include "cli/side_work_clock.h"
#include "link/clock.h"
#include "link/device_port.h"
#include "link/reconnecting_port.h"
#include "link/serial_port.h"
#include "link/transaction.h"
#include "meter/meter_line.h"
#include "meter/meter_session.h"
#include "sim/in_process_meter.h"

namespace zt::cli {

// The port, the clock and the session of one run, opened the way the
// console opens its port; with --simulate, the port is the in-process
// simulated meter's. A device that goes away is told on `errors` once and
// reopened by itself when it is back.
class MeterLink {
 public:
  MeterLink(const LinkOptions& options, std::ostream& errors)
      : options_(options), errors_(errors) {}

  // On failure, the device tried and the system's reason.
  OpenResult Open();
  MeterSession& Session() { return line_->Session(); }
  SerialPort& Port() { return line_->Port(); }
  Clock& ClockSource() { return clock_; }
  SideWorkClock& SideWork() { return clock_; }
  const zt::Transaction& Transaction() const { return std::as_const(*line_).Transaction(); }
  // The settings the session addresses its requests with: check and apply
  // follow the meter to a new address and rate through them.
  LinkSettings& Settings() { return line_->Settings(); }
  // Closes the port and opens it again at `settings`.
  OpenResult Reopen(const LinkSettings& settings);
  // The device the link goes through, for a report.
  std::string PortName() const;

 private:
  void TellDevice(ReconnectingPort::Change change);

  LinkOptions options_;
  std::ostream& errors_;
  std::optional<sim::InProcessMeter> simulated_;
  SystemClock time_;
  SideWorkClock clock_{time_};
  std::unique_ptr<DevicePort> devicePort_;
  std::unique_ptr<MeterLine> line_;
};

}  // namespace zt::cli
