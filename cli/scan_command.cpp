#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/scan_report.h"
#include "meter/meter_scan.h"

namespace zt::cli {

namespace {

// Rewrites the line in place; the escape clears what a longer line left.
constexpr const char* kRewriteLine = "\r\033[K";

}  // namespace

int RunScan(const ScanCommand& scan, SerialPort& port, Clock& clock, CommandIo& io) {
  io.err << "zt6100ctl: " << FormatScanPlan(scan.plan) << std::endl;
  ScanCallbacks callbacks;
  callbacks.stopRequested = io.stopRequested;
  if (io.showProgress) {
    callbacks.progress = [&io](const ScanProgress& progress) {
      io.err << kRewriteLine << FormatScanProgress(progress) << std::flush;
    };
  }
  callbacks.found = [&io](const ScanHit& hit) {
    if (io.showProgress) {
      io.err << kRewriteLine << std::flush;
    }
    PrintLine(io, FormatScanHit(hit, io.format));
  };
  const ScanOutcome outcome = ScanForMeters(port, clock, scan.plan, callbacks);
  if (io.showProgress) {
    io.err << kRewriteLine << std::flush;
  }
  PrintLine(io, FormatScanTotals(outcome, scan.plan.Tries(), io.format));
  return outcome.found.empty() ? kNoValidReply : kDone;
}

}  // namespace zt::cli
