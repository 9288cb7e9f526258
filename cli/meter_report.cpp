#include "cli/meter_report.h"

#include "cli/json_object.h"
#include "meter/parameter_write.h"
#include "res/texts.h"

namespace zt::cli {

namespace {

namespace text = res::text;

constexpr const char* kNotRead = "not read, stopped on request";
constexpr const char* kNotSent = "not sent, stopped on request";

std::string ValueText(const std::optional<int32_t>& value, bool made) {
  if (!made) {
    return kNotRead;
  }
  return value ? std::to_string(*value) : std::string("no reply");
}

const char* Confirmation(bool confirmed) { return confirmed ? "confirmed" : "not confirmed"; }

const char* WriteText(bool confirmed, bool sent) { return sent ? Confirmation(confirmed) : kNotSent; }

std::string StoppedAfter(int done, int of, const char* what) {
  return "stopped on request after " + std::to_string(done) + " of " + std::to_string(of) + " " +
         what;
}

std::string StepText(const char* label, int64_t value, const std::optional<bool>& confirmed) {
  return std::string(label) + " " + std::to_string(value) + ": " +
         (confirmed ? Confirmation(*confirmed) : "not sent");
}

}  // namespace

std::string FormatParameterReads(const ParameterReads& reads, OutputFormat format) {
  const bool stopped = reads.made < 4;
  if (IsJson(format)) {
    JsonObject json;
    json.AddOptional("upper_limit", reads.upperLimit)
        .AddOptional("lower_limit", reads.lowerLimit)
        .AddOptional("decimal_point", reads.decimalPoint)
        .AddOptional("baud", reads.meterBaud);
    if (stopped) {
      json.Add("stopped", true).Add("reads_made", reads.made);
    }
    return json.Text();
  }
  return "upper threshold: " + ValueText(reads.upperLimit, reads.made > 0) +
         "\nlower threshold: " + ValueText(reads.lowerLimit, reads.made > 1) +
         "\ndecimal point: " + ValueText(reads.decimalPoint, reads.made > 2) +
         "\nbaud rate: " + ValueText(reads.meterBaud, reads.made > 3);
}

std::string FormatParameterWrites(const ParameterWrites& writes, OutputFormat format) {
  const bool stopped = writes.sent < 4;
  const std::string message =
      stopped ? StoppedAfter(writes.sent, 4, "writes") : ParameterWriteReport(writes);
  if (IsJson(format)) {
    JsonObject json;
    json.Add("decimal_point", writes.decimalPoint)
        .Add("upper_limit", writes.upperLimit)
        .Add("lower_limit", writes.lowerLimit)
        .Add("baud", writes.meterBaud);
    if (stopped) {
      json.Add("stopped", true).Add("writes_sent", writes.sent);
    }
    json.Add("message", message);
    return json.Text();
  }
  return std::string("decimal point: ") + WriteText(writes.decimalPoint, writes.sent > 0) +
         "\nupper threshold: " + WriteText(writes.upperLimit, writes.sent > 1) +
         "\nlower threshold: " + WriteText(writes.lowerLimit, writes.sent > 2) +
         "\nbaud rate: " + WriteText(writes.meterBaud, writes.sent > 3) + "\n" + message;
}

std::string FormatAddressChange(int32_t newAddress, bool confirmed, bool sent,
                                OutputFormat format) {
  const char* message = sent ? AddressChangeReport(confirmed) : kNotSent;
  if (IsJson(format)) {
    JsonObject json;
    json.Add("address", newAddress).Add("confirmed", confirmed);
    if (!sent) {
      json.Add("stopped", true);
    }
    json.Add("message", message);
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
  const int sent = int{outcome.pt.has_value()} + int{outcome.ct.has_value()} +
                   int{outcome.wiring.has_value()};
  const std::string message = outcome.stopped ? StoppedAfter(sent, 3, "writes") : outcome.Report();
  if (IsJson(format)) {
    JsonObject json;
    json.AddOptional("pt", outcome.pt)
        .AddOptional("ct", outcome.ct)
        .AddOptional("wiring", outcome.wiring);
    if (outcome.stopped) {
      json.Add("stopped", true);
    }
    json.Add("message", message);
    return json.Text();
  }
  return StepText("PT ratio", setup.pt, outcome.pt) + "\n" +
         StepText("CT ratio", setup.ct, outcome.ct) + "\n" +
         StepText("wiring mode", setup.wiring, outcome.wiring) + "\n" + message;
}

std::string FormatBaudChange(int32_t rate, bool confirmed, bool sent, OutputFormat format,
                             bool serverKeepsRate) {
  const std::string rateText = std::to_string(rate);
  const std::string setServer = "now set the serial port of the device server to " + rateText +
                                " bit/s: over raw TCP zt6100ctl cannot set it";
  if (IsJson(format)) {
    JsonObject json;
    json.Add("baud", rate).Add("confirmed", confirmed);
    if (!sent) {
      json.Add("stopped", true).Add("message", kNotSent);
    } else if (!confirmed) {
      json.Add("message", text::kBaudChangeFailed);
    } else if (serverKeepsRate) {
      json.Add("message", setServer);
    }
    return json.Text();
  }
  if (!sent) {
    return "meter baud rate " + rateText + ": " + kNotSent;
  }
  if (!confirmed) {
    return text::kBaudChangeFailed;
  }
  return "meter baud rate: " + rateText + ", confirmed" +
         (serverKeepsRate ? "; " + setServer : std::string());
}

}  // namespace zt::cli
