#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "support/virtual_meter_line.h"

namespace zt::cli::test {

// A command of zt6100ctl over the simulated meter in virtual time, its
// output caught in strings.
class CliFixture : public zt::test::VirtualMeterLine {
 public:
  explicit CliFixture(bool fast = false) {
    OpenLine("9600,N,8,2");
    if (fast) {
      transaction.SetFastExchange(FastExchange::ForLine(port.CurrentLineFormat()));
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

  LinkSettings settings_;
  MeterSession session_{transaction, settings_};
  std::ostringstream out_;
  std::ostringstream err_;
  CommandIo io_{OutputFormat::Text, out_, err_};
};

}  // namespace zt::cli::test
