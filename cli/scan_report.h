#pragma once

#include <cstdint>
#include <string>

#include "cli/command_line.h"
#include "meter/meter_scan.h"

namespace zt::cli {

// What scan prints: a line per meter found and the totals on standard output,
// the plan and the progress on standard error.

std::string FormatScanHit(const ScanHit& hit, OutputFormat format);
std::string FormatScanTotals(const ScanOutcome& outcome, int64_t total, OutputFormat format);
// Told before a scan starts, on standard error.
std::string FormatScanPlan(const ScanPlan& plan);
// The progress line of a scan on a terminal.
std::string FormatScanProgress(const ScanProgress& progress);

}  // namespace zt::cli
