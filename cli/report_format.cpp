#include "cli/report_format.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "cli/json_object.h"
#include "meter/parameter_write.h"
#include "res/texts.h"

namespace zt::cli {

namespace {

namespace text = res::text;

bool IsJson(OutputFormat format) { return format == OutputFormat::Json; }

// The console's rate text without its "%", which JSON numbers cannot carry.
std::string RateNumber(const std::string& errorRate) {
  return errorRate.ends_with('%') ? errorRate.substr(0, errorRate.size() - 1) : errorRate;
}

std::string CountsText(const LinkStatistics& stats) {
  return "successes " + std::to_string(stats.successCount) + "  failures " +
         std::to_string(stats.failureCount) + "  error rate " + stats.errorRate;
}

void AddCounts(JsonObject& json, const LinkStatistics& stats) {
  json.Add("successes", stats.successCount)
      .Add("failures", stats.failureCount)
      .AddNumberText("error_rate", RateNumber(stats.errorRate));
}

std::string ValueText(const std::optional<int32_t>& value) {
  return value ? std::to_string(*value) : std::string("no reply");
}

std::string HexByte(uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

std::string Milliseconds(std::chrono::microseconds time, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(time.count()) / 1000.0);
  return text;
}

std::string CausesJson(const ExchangeSummary& exchanges) {
  JsonObject json;
  for (const FailureCauseName& name : kFailureCauseNames) {
    json.Add(name.key, exchanges.failures[static_cast<std::size_t>(name.cause)]);
  }
  return json.Text();
}

std::string ExceptionCodesJson(const ExchangeSummary& exchanges) {
  JsonObject json;
  for (const auto& [code, count] : exchanges.exceptions) {
    json.Add(HexByte(code), count);
  }
  return json.Text();
}

std::string LatencyJson(const std::optional<LatencySummary>& latency) {
  if (!latency) {
    return "null";
  }
  JsonObject json;
  json.AddNumberText("min", Milliseconds(latency->min, 3))
      .AddNumberText("median", Milliseconds(latency->median, 3))
      .AddNumberText("p95", Milliseconds(latency->p95, 3))
      .AddNumberText("max", Milliseconds(latency->max, 3));
  return json.Text();
}

// "exchanges 6  replies 4  failures 2: no byte 1, exception reply 02 1"
std::string CausesText(const ExchangeSummary& exchanges) {
  std::string text = "exchanges " + std::to_string(exchanges.replies + exchanges.Failures()) +
                     "  replies " + std::to_string(exchanges.replies) + "  failures " +
                     std::to_string(exchanges.Failures());
  std::string causes;
  const auto add = [&causes](const std::string& words, int64_t count) {
    causes += (causes.empty() ? ": " : ", ") + words + " " + std::to_string(count);
  };
  for (const FailureCauseName& name : kFailureCauseNames) {
    const int64_t count = exchanges.failures[static_cast<std::size_t>(name.cause)];
    if (name.cause == FailureCause::Exception) {
      for (const auto& [code, n] : exchanges.exceptions) {
        add(FailureDiagnosis{FailureCause::Exception, code}.Words(), n);
      }
    } else if (count > 0) {
      add(std::string(name.words), count);
    }
  }
  return text + causes;
}

std::string LatencyText(const std::optional<LatencySummary>& latency) {
  if (!latency) {
    return "reply latency: no reply";
  }
  return "reply latency: min " + Milliseconds(latency->min, 1) + " ms  median " +
         Milliseconds(latency->median, 1) + " ms  p95 " + Milliseconds(latency->p95, 1) +
         " ms  max " + Milliseconds(latency->max, 1) + " ms";
}

const char* Confirmation(bool confirmed) { return confirmed ? "confirmed" : "not confirmed"; }

std::string StepText(const char* label, int64_t value, const std::optional<bool>& confirmed) {
  return std::string(label) + " " + std::to_string(value) + ": " +
         (confirmed ? Confirmation(*confirmed) : "not sent");
}

}  // namespace

std::string FormatPollTick(const std::optional<std::string>& live, const LinkStatistics& stats,
                           OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    if (live) {
      json.AddNumberText("live", *live);
    } else {
      json.AddNull("live");
    }
    json.Add("ok", live.has_value());
    AddCounts(json, stats);
    return json.Text();
  }
  return "live " + live.value_or("failed") + "  " + CountsText(stats);
}

std::string FormatPollTotals(const LinkStatistics& stats, OutputFormat format) {
  const int32_t polls = stats.successCount + stats.failureCount;
  if (IsJson(format)) {
    JsonObject json;
    json.Add("totals", true).Add("polls", polls);
    AddCounts(json, stats);
    return json.Text();
  }
  return "totals: polls " + std::to_string(polls) + "  " + CountsText(stats);
}

std::string FormatPollTotals(const LinkStatistics& stats, const ExchangeSummary& exchanges,
                             OutputFormat format) {
  const int32_t polls = stats.successCount + stats.failureCount;
  if (IsJson(format)) {
    JsonObject json;
    json.Add("totals", true).Add("polls", polls);
    AddCounts(json, stats);
    json.Add("exchanges", exchanges.replies + exchanges.Failures())
        .Add("replies", exchanges.replies)
        .AddRaw("failures_by_cause", CausesJson(exchanges))
        .AddRaw("exception_codes", ExceptionCodesJson(exchanges))
        .AddRaw("latency_ms", LatencyJson(exchanges.latency));
    return json.Text();
  }
  return FormatPollTotals(stats, format) + "\n" + CausesText(exchanges) + "\n" +
         LatencyText(exchanges.latency);
}

std::string IsoUtcTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(time);
  const auto day = floor<days>(ms);
  const year_month_day date(day);
  const hh_mm_ss<milliseconds> clock(ms - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()),
                static_cast<int>(clock.subseconds().count()));
  return text;
}

std::string Stamped(const std::string& jsonObject, std::chrono::system_clock::time_point time) {
  const std::string member = "\"time\":\"" + IsoUtcTime(time) + "\"";
  if (jsonObject.size() < 2 || jsonObject.front() != '{') {
    return jsonObject;
  }
  return "{" + member + (jsonObject == "{}" ? "" : ",") + jsonObject.substr(1);
}

std::string CauseKey(const FailureDiagnosis& diagnosis) {
  std::string key(NameOf(diagnosis.cause).key);
  if (diagnosis.cause == FailureCause::Exception) {
    key += "_" + HexByte(diagnosis.exceptionCode);
  }
  return key;
}

std::string FormatPollCsvRow(const PollRow& row, const LinkStatistics& stats) {
  return IsoUtcTime(row.time) + "," + row.live.value_or("") + "," +
         std::to_string(row.decimalPoint) + "," + (row.live ? "true" : "false") + "," +
         (row.cause ? CauseKey(*row.cause) : std::string()) + "," +
         std::to_string(stats.successCount) + "," + std::to_string(stats.failureCount) + "," +
         RateNumber(stats.errorRate);
}

FrameObserver TraceTo(std::ostream& out, std::chrono::microseconds origin) {
  return [&out, origin](const FrameRecord& record) {
    out << FormatFrameRecord(record, origin) << '\n' << std::flush;
  };
}

std::string FormatParameterReads(const ParameterReads& reads, OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    json.AddOptional("upper_limit", reads.upperLimit)
        .AddOptional("lower_limit", reads.lowerLimit)
        .AddOptional("decimal_point", reads.decimalPoint)
        .AddOptional("baud", reads.meterBaud);
    return json.Text();
  }
  return "upper threshold: " + ValueText(reads.upperLimit) +
         "\nlower threshold: " + ValueText(reads.lowerLimit) +
         "\ndecimal point: " + ValueText(reads.decimalPoint) +
         "\nbaud rate: " + ValueText(reads.meterBaud);
}

std::string FormatParameterWrites(const ParameterWrites& writes, OutputFormat format) {
  const std::string message = ParameterWriteReport(writes);
  if (IsJson(format)) {
    JsonObject json;
    json.Add("decimal_point", writes.decimalPoint)
        .Add("upper_limit", writes.upperLimit)
        .Add("lower_limit", writes.lowerLimit)
        .Add("baud", writes.meterBaud)
        .Add("message", message);
    return json.Text();
  }
  return std::string("decimal point: ") + Confirmation(writes.decimalPoint) +
         "\nupper threshold: " + Confirmation(writes.upperLimit) +
         "\nlower threshold: " + Confirmation(writes.lowerLimit) +
         "\nbaud rate: " + Confirmation(writes.meterBaud) + "\n" + message;
}

std::string FormatAddressChange(int32_t newAddress, bool confirmed, OutputFormat format) {
  const char* message = AddressChangeReport(confirmed);
  if (IsJson(format)) {
    JsonObject json;
    json.Add("address", newAddress).Add("confirmed", confirmed).Add("message", message);
    return json.Text();
  }
  return "address " + std::to_string(newAddress) + ": " + message;
}

std::string FormatSwitchStatus(const std::optional<SwitchStatus>& status, OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    if (!status) {
      json.AddNull("relay_output").AddNull("relay_output_state");
      json.AddNull("switch_input").AddNull("switch_input_state");
      return json.Text();
    }
    json.Add("relay_output", status->RelayOn() ? text::kRelayOn : text::kRelayOff)
        .Add("relay_output_state", status->RelayOn() ? "on" : "off")
        .Add("switch_input", status->InputClosed() ? text::kInputClosed : text::kInputOpen)
        .Add("switch_input_state", status->InputClosed() ? "closed" : "open");
    return json.Text();
  }
  if (!status) {
    return "switch status: no reply";
  }
  return std::string("relay output: ") + (status->RelayOn() ? text::kRelayOn : text::kRelayOff) +
         (status->RelayOn() ? " (on)" : " (off)") +
         "\nswitch input: " + (status->InputClosed() ? text::kInputClosed : text::kInputOpen) +
         (status->InputClosed() ? " (closed)" : " (open)");
}

std::string FormatClock(const std::optional<MeterClock>& clock, OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    if (clock) {
      json.Add("text", FormatMeterClock(*clock));
    } else {
      json.AddNull("text").Add("message", text::kClockFailed);
    }
    return json.Text();
  }
  return clock ? FormatMeterClock(*clock) : std::string(text::kClockFailed);
}

std::string FormatSetup(const SetupCommand& setup, const InstrumentSetupOutcome& outcome,
                        OutputFormat format) {
  const std::string message = outcome.Report();
  if (IsJson(format)) {
    JsonObject json;
    json.AddOptional("pt", outcome.pt)
        .AddOptional("ct", outcome.ct)
        .AddOptional("wiring", outcome.wiring)
        .Add("message", message);
    return json.Text();
  }
  return StepText("PT ratio", setup.pt, outcome.pt) + "\n" +
         StepText("CT ratio", setup.ct, outcome.ct) + "\n" +
         StepText("wiring mode", setup.wiring, outcome.wiring) + "\n" + message;
}

std::string FormatBaudChange(int32_t rate, bool confirmed, OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    json.Add("baud", rate).Add("confirmed", confirmed);
    if (!confirmed) {
      json.Add("message", text::kBaudChangeFailed);
    }
    return json.Text();
  }
  return confirmed ? "meter baud rate: " + std::to_string(rate) + ", confirmed"
                   : std::string(text::kBaudChangeFailed);
}

std::string FormatLogBlock(int32_t block, const std::string& file, bool appended,
                           OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    json.Add("block", block).Add("file", file).Add("appended", appended);
    if (!appended) {
      json.Add("message", text::kLogFileFailed);
    }
    return json.Text();
  }
  return appended ? "block " + std::to_string(block) + " appended to " + file
                  : std::string(text::kLogFileFailed) + ": " + file;
}

std::string FormatLinkNotes(const std::optional<bool>& lineEchoes, LocalEcho mode,
                            const LinkCounters& counters) {
  std::string notes;
  if (mode == LocalEcho::Auto && lineEchoes.value_or(false)) {
    notes += "local echo detected: the adapter echoes every request; " +
             std::to_string(counters.echoesSkipped) + " copies skipped\n";
  } else if (mode == LocalEcho::On) {
    notes += "local echo on: " + std::to_string(counters.echoesSkipped) + " copies skipped\n";
  }
  if (counters.lateReplies > 0) {
    notes += std::to_string(counters.lateReplies) + " late replies (" +
             std::to_string(counters.lateBytes) + " bytes) discarded before the next request\n";
  }
  return notes;
}

namespace {

const char* ParityName(int32_t parity) {
  switch (parity) {
    case kParityOdd:
      return "odd";
    case kParityEven:
      return "even";
    default:
      return "none";
  }
}

std::string LineText(const ScanLine& line) {
  return std::to_string(line.baudRate) + " bit/s, parity " + ParityName(line.parity);
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
        .Add("parity", ParityName(hit.line.parity))
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

std::string FormatOpenFailure(const OpenResult& opened) {
  std::string text = "zt6100ctl: cannot open " + opened.device + ": " + opened.reason;
  if (opened.permissionDenied) {
    text += "\nzt6100ctl: you may not use " + opened.device + ": ";
    text += opened.deviceGroup.empty()
                ? "ask for read and write permission on it"
                : "add your user to the group '" + opened.deviceGroup +
                      "' that owns it (sudo usermod -aG " + opened.deviceGroup +
                      " $USER), then log out and in again";
  }
  return text;
}

}  // namespace zt::cli
