#include <csignal>
#include <iostream>
#include <string_view>
#include <vector>

#include "sim/line_server.h"
#include "sim/meter_model.h"
#include "sim/meter_responder.h"
#include "sim/sim_options.h"
#include "zt6100/version.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void RequestStop(int) { g_stop = 1; }

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const zt::sim::ParsedOptions parsed = zt::sim::ParseSimOptions(arguments);
  if (parsed.help) {
    std::cout << zt::sim::UsageText();
    return 0;
  }
  if (parsed.version) {
    std::cout << "zt6100-sim " << zt::kVersion << '\n';
    return 0;
  }
  if (!parsed.options) {
    std::cerr << "zt6100-sim: " << parsed.error << "\nTry zt6100-sim --help.\n";
    return 2;
  }
  const zt::sim::SimOptions& options = *parsed.options;

  // The stop signals stay blocked except while the server waits for input,
  // so a stop never cuts a reply in half and is never missed between checks.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigset_t waitMask;
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  sigdelset(&waitMask, SIGTERM);
  sigdelset(&waitMask, SIGINT);
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  zt::sim::MeterModel meter;
  zt::sim::ApplyOptions(options, meter);
  zt::sim::MeterResponder responder(meter);
  responder.SetLatency(options.latency);
  responder.SetFaults(options.faults);
  if (options.faultMix.percent > 0) {
    responder.SetFaultMix(options.faultMix);
  }

  zt::sim::LineServer server(options, responder, std::cerr);
  if (const zt::OpenResult opened = server.Open(); !opened) {
    std::cerr << "zt6100-sim: " << opened.device << ": " << opened.reason << '\n';
    return 1;
  }
  std::cout << server.DevicePath() << std::endl;
  return server.Run(waitMask, g_stop);
}
