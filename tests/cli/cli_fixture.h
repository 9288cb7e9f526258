#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "link/clock.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"

namespace zt::cli::test {

// A command of zt6100ctl over the simulated meter in virtual time, its
// output caught in strings.
class CliFixture {
 public:
  explicit CliFixture(bool fast = false) {
    port_.SelectPort(1);
    port_.SetLineFormat("9600,N,8,2");
    port_.Open();
    if (fast) {
      link_.SetFastExchange(FastExchange::ForLine(port_.CurrentLineFormat()));
    }
  }

  int Execute(const Command& command) { return RunCommand(command, session_, io_); }

  std::vector<std::string> OutputLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out_.str());
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  void Silence() {
    sim::FaultConfig silent;
    silent.silent = true;
    port_.SetFaults(silent);
  }

  // Only requests touching these registers go unanswered.
  void SilenceRegisters(uint16_t first, uint16_t last) {
    sim::FaultConfig silent;
    silent.silent = true;
    silent.appliesTo = sim::TouchingRegisters(first, last);
    port_.SetFaults(silent);
  }

  VirtualClock clock_;
  sim::MeterModel meter_;
  sim::SimulatedPort port_{clock_, meter_};
  Transaction link_{port_, clock_};
  LinkSettings settings_;
  MeterSession session_{link_, settings_};
  std::ostringstream out_;
  std::ostringstream err_;
  CommandIo io_{OutputFormat::Text, out_, err_};
};

}  // namespace zt::cli::test
