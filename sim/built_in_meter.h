#pragma once

#include <memory>
#include <optional>
#include <string>

#include "sim/sim_options.h"

namespace zt::sim {

// The simulated meter of --simulate: served on a fresh pty by a thread of the
// calling process, until the object is destroyed.
class BuiltInMeter {
 public:
  explicit BuiltInMeter(SimOptions options = {});
  ~BuiltInMeter();
  BuiltInMeter(const BuiltInMeter&) = delete;
  BuiltInMeter& operator=(const BuiltInMeter&) = delete;

  // Opens the pty and starts serving; the device to open, or nothing with
  // `error` set.
  std::optional<std::string> Start(std::string& error);

 private:
  struct Server;
  SimOptions options_;
  std::unique_ptr<Server> server_;
};

}  // namespace zt::sim
