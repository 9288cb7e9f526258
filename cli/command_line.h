#pragma once

#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "link/link_settings.h"
#include "link/transaction.h"
#include "meter/meter_scan.h"
#include "meter/meter_session.h"
#include "meter/periods.h"

namespace zt::cli {

// Csv only for poll and log: a header, then one row per poll.
enum class OutputFormat { Text, Json, Csv };
inline bool IsJson(OutputFormat format) { return format == OutputFormat::Json; }

// How to reach the meter. Without --device the port number goes through the
// console's device map.
struct LinkOptions {
  LinkSettings settings;
  std::optional<std::string> device;
  bool simulate = false;
  bool fast = false;
  LocalEcho echo = LocalEcho::Auto;
  // What the link found out (an echoing adapter, late replies), on standard error.
  bool verbose = false;
  // Every frame on the line, on standard error.
  bool trace = false;
  // The longest the line guard waits for late replies after a failed
  // exchange; none: the link's own limit.
  std::optional<std::chrono::milliseconds> guardLimit;
};

struct PollCommand {
  std::optional<int32_t> count;  // none: until interrupted
  uint32_t periodMs = kPollPeriodMs;
};
struct ReadParamsCommand {};
struct WriteParamsCommand {
  ParameterValues values;
};
struct SetAddressCommand {
  int32_t newAddress = 0;
};
struct SwitchStatusCommand {};
struct ClockCommand {};
struct SetupCommand {
  uint16_t pt = 1;
  uint16_t ct = 1;
  uint8_t wiring = 0;
};
struct SetBaudCommand {
  int32_t rate = 9600;
};
// Check the meter against a site profile, or bring it there; the profile is
// read (and refused) before the port is opened.
struct CheckProfileCommand {
  std::string profile;
  std::optional<std::string> report;  // ends in .json, .html or .pdf
  bool english = false;               // the report's language
  int32_t polls = 10;
};
struct ApplyProfileCommand {
  CheckProfileCommand run;
};
struct LogCommand {
  uint32_t intervalSeconds = 1;
  std::optional<int32_t> count;  // blocks to append; none: until interrupted
};

// Looks for meters: the addresses, rates and parities to try. The link's
// own address, rate and parity play no part.
struct ScanCommand {
  ScanPlan plan = DefaultScanPlan();
};

using Command =
    std::variant<PollCommand, ReadParamsCommand, WriteParamsCommand, SetAddressCommand,
                 SwitchStatusCommand, ClockCommand, SetupCommand, SetBaudCommand, LogCommand,
                 ScanCommand, CheckProfileCommand, ApplyProfileCommand>;

struct Invocation {
  LinkOptions link;
  OutputFormat format = OutputFormat::Text;
  Command command;
};

// Either an invocation, a request for help or the version, or the reason for refusing the
// command line; nothing has touched a port yet.
struct ParsedCommandLine {
  std::optional<Invocation> invocation;
  bool help = false;
  bool version = false;
  std::string error;
};

// `arguments` as QCoreApplication::arguments() gives them, program name first.
// Link options go before the command and the command's own options after it,
// so that --baud can be the link's rate before write-params and the meter's
// parameter after it. Every value is checked against the console's ranges.
ParsedCommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace zt::cli
