#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "link/exchange_statistics.h"
#include "link/failure_cause.h"
#include "link/frame_trace.h"
#include "link/transaction.h"
#include "meter/instrument_setup.h"
#include "meter/link_statistics.h"
#include "meter/meter_clock.h"
#include "meter/meter_scan.h"
#include "meter/meter_session.h"

namespace zt::cli {

// What each command prints on standard output: lines of text, or one JSON
// object. The console's own texts (values, messages) appear as it shows them;
// no trailing newline.

// `live` is the live-value text this very tick read, none when it failed: a
// failed tick prints as a failure, never with an earlier reading.
std::string FormatPollTick(const std::optional<std::string>& live, const LinkStatistics& stats,
                           OutputFormat format);
std::string FormatPollTotals(const LinkStatistics& stats, OutputFormat format);
// The same, with every exchange of the run: the failed ones by cause and the
// latency of the replies (text: two more lines; JSON: more members).
std::string FormatPollTotals(const LinkStatistics& stats, const ExchangeSummary& exchanges,
                             OutputFormat format);

// ISO 8601 in UTC with milliseconds: "2026-12-07T10:13:44.123Z".
std::string IsoUtcTime(std::chrono::system_clock::time_point time);
// A JSON line of FormatX with the time as its first member.
std::string Stamped(const std::string& jsonObject, std::chrono::system_clock::time_point time);

// A cause as CSV and JSON name it: its key, an exception's with its code
// ("exception_02").
std::string CauseKey(const FailureDiagnosis& diagnosis);

// The CSV of poll and log: the header, then a row per poll.
inline constexpr std::string_view kPollCsvHeader =
    "time,live,decimal_point,ok,cause,successes,failures,error_rate";
struct PollRow {
  std::chrono::system_clock::time_point time;
  std::optional<std::string> live;
  int32_t decimalPoint = 0;
  // Why the tick's live-value read failed; none when it succeeded.
  std::optional<FailureDiagnosis> cause;
};
std::string FormatPollCsvRow(const PollRow& row, const LinkStatistics& stats);

// One line of --trace.
FrameObserver TraceTo(std::ostream& out, std::chrono::microseconds origin);
// What the link found out during the run, for --verbose: one line each, empty
// when there is nothing to say.
std::string FormatLinkNotes(const std::optional<bool>& lineEchoes, LocalEcho mode,
                            const LinkCounters& counters);

std::string FormatParameterReads(const ParameterReads& reads, OutputFormat format);
std::string FormatParameterWrites(const ParameterWrites& writes, OutputFormat format);
std::string FormatAddressChange(int32_t newAddress, bool confirmed, OutputFormat format);
std::string FormatSwitchStatus(const std::optional<SwitchStatus>& status, OutputFormat format);
std::string FormatClock(const std::optional<MeterClock>& clock, OutputFormat format);

std::string FormatSetup(const SetupCommand& setup, const InstrumentSetupOutcome& outcome,
                        OutputFormat format);

std::string FormatBaudChange(int32_t rate, bool confirmed, OutputFormat format);
// Why the port could not be opened, for standard error: the device and the
// system's reason, and when the user lacks permission, how to get it.
std::string FormatOpenFailure(const OpenResult& opened);

std::string FormatScanHit(const ScanHit& hit, OutputFormat format);
std::string FormatScanTotals(const ScanOutcome& outcome, int64_t total, OutputFormat format);
// Told before a scan starts, on standard error.
std::string FormatScanPlan(const ScanPlan& plan);
// The progress line of a scan on a terminal.
std::string FormatScanProgress(const ScanProgress& progress);

std::string FormatLogBlock(int32_t block, const std::string& file, bool appended,
                           OutputFormat format);

}  // namespace zt::cli
