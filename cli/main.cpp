#include <QCoreApplication>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <csignal>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <variant>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/link_report.h"
#include "cli/meter_link.h"
#include "cli/usage_text.h"
#include "zt6100/version.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

// The first signal asks the command to stop at its next check and print its
// totals; a second one ends the program at once, whatever it is waiting on
// (a terminal or pipe that takes no more output, for one).
void RequestStop(int signal) {
  if (g_stop != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  g_stop = 1;
}

// Only the commands that run until interrupted take Ctrl-C as "stop and
// print the totals"; the others end within seconds and keep the default.
void CatchStopSignals() {
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  using namespace zt::cli;

  const ParsedCommandLine parsed = ParseCommandLine(QCoreApplication::arguments());
  if (parsed.help) {
    std::cout << UsageText();
    return kDone;
  }
  if (parsed.version) {
    std::cout << "zt6100ctl " << zt::kVersion << '\n';
    return kDone;
  }
  if (!parsed.invocation) {
    std::cerr << "zt6100ctl: " << parsed.error << "\nTry 'zt6100ctl --help'.\n";
    return kUsageError;
  }
  const Invocation& invocation = *parsed.invocation;
  if (std::holds_alternative<PollCommand>(invocation.command) ||
      std::holds_alternative<LogCommand>(invocation.command) ||
      std::holds_alternative<ScanCommand>(invocation.command)) {
    CatchStopSignals();
  }

  MeterLink link(invocation.link, std::cerr);
  const zt::OpenResult opened = link.Open();
  if (!opened) {
    std::cerr << FormatOpenFailure(opened) << '\n';
    return kPortNotOpened;
  }
  CommandIo io{invocation.format, std::cout, std::cerr};
  io.stopRequested = [] { return g_stop != 0; };
  io.showProgress = StandardErrorIsTerminal();
  const auto* scan = std::get_if<ScanCommand>(&invocation.command);
  const int status = scan != nullptr ? RunScan(*scan, link.Port(), link.ClockSource(), io)
                                     : RunCommand(invocation.command, link.Session(), io);
  if (invocation.link.verbose) {
    std::istringstream notes(FormatLinkNotes(link.Link().LineEchoes(), link.Link().EchoMode(),
                                             link.Link().Counters()));
    for (std::string line; std::getline(notes, line);) {
      std::cerr << "zt6100ctl: " << line << '\n';
    }
  }
  return status;
}
