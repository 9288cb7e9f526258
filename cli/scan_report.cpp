#include "cli/scan_report.h"

#include <chrono>
#include <cstdio>

#include "cli/json_object.h"

namespace zt::cli {

namespace {

std::string LineText(const ScanLine& line) {
  return std::to_string(line.baudRate) + " bit/s, parity " + std::string(ParityWord(line.parity));
}

// "3 min 10 s", "4.5 s".
std::string DurationText(std::chrono::milliseconds span) {
  const int64_t ms = span.count();
  if (ms < 60'000) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ms) / 1000.0);
    return text;
  }
  const int64_t seconds = (ms + 999) / 1000;
  return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
}

}  // namespace

std::string FormatScanHit(const ScanHit& hit, OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    json.Add("address", int32_t{hit.address})
        .Add("baud", hit.line.baudRate)
        .Add("parity", ParityWord(hit.line.parity))
        .Add("decimal_point", hit.decimalPoint);
    return json.Text();
  }
  return "meter at address " + std::to_string(hit.address) + ": " + LineText(hit.line) +
         ", decimal point " + std::to_string(hit.decimalPoint);
}

std::string FormatScanTotals(const ScanOutcome& outcome, int64_t total, OutputFormat format) {
  const auto found = static_cast<int64_t>(outcome.found.size());
  if (IsJson(format)) {
    JsonObject json;
    json.Add("totals", true)
        .Add("tries", outcome.tries)
        .Add("of", total)
        .Add("meters", found)
        .Add("stopped", outcome.stopped);
    return json.Text();
  }
  return "totals: tries " + std::to_string(outcome.tries) + " of " + std::to_string(total) +
         "  meters found " + std::to_string(found) + (outcome.stopped ? "  (stopped)" : "");
}

std::string FormatScanPlan(const ScanPlan& plan) {
  return "scanning " + std::to_string(plan.addresses.size()) + " address(es) at " +
         std::to_string(plan.lines.size()) + " line setting(s): " + std::to_string(plan.Tries()) +
         " tries, worst case " + DurationText(plan.WorstCase()) + " of waits";
}

std::string FormatScanProgress(const ScanProgress& progress) {
  return "try " + std::to_string(progress.done + 1) + "/" + std::to_string(progress.total) +
         ": address " + std::to_string(progress.address) + ", " + LineText(progress.line);
}

}  // namespace zt::cli
