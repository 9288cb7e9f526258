#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "link/exchange_statistics.h"
#include "link/failure_cause.h"
#include "meter/link_statistics.h"
#include "meter/measurement_poll.h"

namespace zt::cli {

// What poll and log print on standard output: lines of text, one JSON object
// or CSV rows. The console's own texts appear as it shows them; no trailing
// newline.

// `live` is the live-value text this very tick read, none when it failed: a
// failed tick prints as a failure, never with an earlier reading.
std::string FormatPollTick(const std::optional<std::string>& live, const LinkStatistics& stats,
                           OutputFormat format);
std::string FormatPollTotals(const LinkStatistics& stats, OutputFormat format);
// The same, with every exchange of the run: the failed ones by cause and the
// latency of the replies (text: two more lines; JSON: more members).
std::string FormatPollTotals(const LinkStatistics& stats, const ExchangeSummary& exchanges,
                             OutputFormat format);

// A cause as CSV and JSON name it: its key, an exception's with its code
// ("exception_02").
std::string CauseKey(const FailureDiagnosis& diagnosis);
// A tick's: "decimal_point_unread" when its live value had no known scale.
std::string CauseKey(const TickFailure& failure);

// The CSV of poll and log: the header, then a row per poll.
inline constexpr std::string_view kPollCsvHeader =
    "time,live,decimal_point,ok,cause,successes,failures,error_rate";
struct PollRow {
  std::chrono::system_clock::time_point time;
  std::optional<std::string> live;
  int32_t decimalPoint = 0;
  // Why the tick has no good live value; none when it has one.
  std::optional<TickFailure> failure;
};
std::string FormatPollCsvRow(const PollRow& row, const LinkStatistics& stats);

std::string FormatLogBlock(int32_t block, const std::string& file, bool appended,
                           OutputFormat format);

}  // namespace zt::cli
