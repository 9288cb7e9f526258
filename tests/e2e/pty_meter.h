#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/device_port.h"
#include "link/link_settings.h"
#include "meter/meter_line.h"
#include "support/child_process.h"

namespace zt::test {

// zt6100-sim on a pty of its own, and the console's line to it: the device
// port, the system clock and the meter line as the console assembles them,
// opened on the pty or on a device server that serves it.
class PtyMeter {
 public:
  // Starts the simulator at 9600 bit/s with `arguments`; Pty() names its
  // pty afterwards.
  ::testing::AssertionResult Start(std::vector<std::string> arguments);
  // Opens the line on `device`: the pty when empty, else a device server's
  // name.
  ::testing::AssertionResult Open(const std::string& device = {});
  // Closes the port, if it was opened.
  void Close();
  // Closes the port, then stops the simulator, which must end cleanly.
  void Stop();

  const std::string& Pty() const { return pty_; }
  ChildProcess& Sim() { return sim_; }
  MeterLine& Line() { return *line_; }
  MeterSession& Session() { return line_->Session(); }

 private:
  ChildProcess sim_;
  std::string pty_;
  SystemClock clock_;
  DevicePort port_;
  std::unique_ptr<MeterLine> line_;
};

}  // namespace zt::test
