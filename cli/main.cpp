#include <QCoreApplication>
#include <QGuiApplication>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>
#include <variant>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/commission_commands.h"
#include "cli/exit_status.h"
#include "cli/link_report.h"
#include "cli/meter_link.h"
#include "cli/usage_text.h"
#include "zt6100/version.h"

namespace {

// Set from a signal handler, hence lock-free.
std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr char kEndedAtOnce[] =
    "zt6100ctl: a second signal ended the program at once, in the middle of an exchange: "
    "read the meter back to see what it took\n";

// The first signal asks the command to stop at its next check: a poll or a
// log prints its totals, a one-shot command ends between two exchanges and
// says which were not made. A second one ends the program at once, whatever
// it is waiting on (a terminal or pipe that takes no more output, for one),
// saying so with the one call a handler may make.
void RequestStop(int signal) {
  if (g_stop.exchange(true)) {
#ifdef _WIN32
    static_cast<void>(_write(2, kEndedAtOnce, sizeof kEndedAtOnce - 1));
#else
    static_cast<void>(write(STDERR_FILENO, kEndedAtOnce, sizeof kEndedAtOnce - 1));
#endif
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
}

void CatchStopSignals() {
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
}

bool RunsUntilInterrupted(const zt::cli::Command& command) {
  using namespace zt::cli;
  return std::holds_alternative<PollCommand>(command) ||
         std::holds_alternative<LogCommand>(command) ||
         std::holds_alternative<ScanCommand>(command);
}

// A PDF report is laid out with Qt's fonts, which need a QGuiApplication;
// zt6100ctl shows no window, so it takes the offscreen platform, and only then.
bool WritesPdfReport(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    const std::size_t length = std::strlen(argv[i + 1]);
    if (std::strcmp(argv[i], "--report") == 0 && length >= 4 &&
        QByteArray(argv[i + 1] + length - 4).toLower() == ".pdf") {
      return true;
    }
  }
  return false;
}

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
  if (WritesPdfReport(argc, argv)) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
  }
  return std::make_unique<QCoreApplication>(argc, argv);
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
  const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
  using namespace zt::cli;

  const ParsedCommandLine parsed = ParseCommandLine(QCoreApplication::arguments());
  if (parsed.help || parsed.version) {
    errno = 0;
    if (parsed.help) {
      std::cout << UsageText() << std::flush;
    } else {
      std::cout << "zt6100ctl " << zt::kVersion << '\n' << std::flush;
    }
    if (!std::cout) {
      std::cerr << "zt6100ctl: cannot write standard output: " << WriteFailureReason() << '\n';
      return kOutputNotWritten;
    }
    return kDone;
  }
  if (!parsed.invocation) {
    std::cerr << "zt6100ctl: " << parsed.error << "\nTry 'zt6100ctl --help'.\n";
    return kUsageError;
  }
  const Invocation& invocation = *parsed.invocation;
  const CheckProfileCommand* profileRun = std::get_if<CheckProfileCommand>(&invocation.command);
  if (const auto* apply = std::get_if<ApplyProfileCommand>(&invocation.command)) {
    profileRun = &apply->run;
  }
  std::optional<CommissionRun> commission;
  if (profileRun != nullptr) {
    // Refused before the port is opened, so that nothing is sent.
    zt::ProfileResult profile = zt::ReadSiteProfile(profileRun->profile);
    if (const auto* refused = std::get_if<zt::ProfileError>(&profile)) {
      std::cerr << "zt6100ctl: " << refused->Message() << '\n';
      return kUsageError;
    }
    commission = CommissionRun{std::get<zt::SiteProfile>(std::move(profile)),
                               profileRun->report ? std::optional<std::filesystem::path>(
                                                        *profileRun->report)
                                                  : std::nullopt,
                               profileRun->english ? zt::report::Language::kEnglish
                                                   : zt::report::Language::kChinese,
                               profileRun->polls};
  }
  CatchStopSignals();

  MeterLink link(invocation.link, std::cerr);
  const zt::OpenResult opened = link.Open();
  if (!opened) {
    std::cerr << FormatOpenFailure(opened) << '\n';
    return kPortNotOpened;
  }
  CommandIo io{invocation.format, std::cout, std::cerr};
  io.stopRequested = [&io] { return g_stop.load() || io.outputLost.has_value(); };
  // A poll or a log stops between ticks instead, so that no tick is cut in
  // two and counted as a failure; check and apply have their own stop.
  if (!RunsUntilInterrupted(invocation.command) && !commission) {
    link.Session().SetStopRequest(&g_stop);
  }
  io.showProgress = StandardErrorIsTerminal();
  io.sideWork = &link.SideWork();
  io.serverKeepsRate = !link.Port().SetsLineFormat();
  const auto* scan = std::get_if<ScanCommand>(&invocation.command);
  int status = kDone;
  if (commission) {
    CommissionLink meter{link.Session(), link.Settings(),
                         [&link](const zt::LinkSettings& s) { return link.Reopen(s); },
                         link.PortName()};
    status = std::holds_alternative<ApplyProfileCommand>(invocation.command)
                 ? RunApplyProfile(*commission, meter, io)
                 : RunCheckProfile(*commission, meter, io);
  } else if (scan != nullptr) {
    status = RunScan(*scan, link.Port(), link.ClockSource(), io);
  } else {
    status = RunCommand(invocation.command, link.Session(), io);
  }
  if (invocation.link.verbose) {
    const zt::Transaction& transaction = link.Transaction();
    std::istringstream notes(FormatLinkNotes(transaction.LineEchoes(), transaction.EchoMode(),
                                             transaction.Counters()));
    for (std::string line; std::getline(notes, line);) {
      std::cerr << "zt6100ctl: " << line << '\n';
    }
  }
  if (io.outputLost) {
    std::cerr << "zt6100ctl: cannot write standard output: " << *io.outputLost << '\n';
    return kOutputNotWritten;
  }
  if (status == kStopped) {
    std::cerr << "zt6100ctl: stopped on request between two exchanges, before the command was "
                 "done\n";
  }
  return status;
}
