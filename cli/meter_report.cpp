#include "cli/meter_report.h"

#include "cli/json_object.h"
#include "meter/parameter_write.h"
#include "res/texts.h"

namespace zt::cli {

namespace {

namespace text = res::text;

std::string ValueText(const std::optional<int32_t>& value) {
  return value ? std::to_string(*value) : std::string("no reply");
}

const char* Confirmation(bool confirmed) { return confirmed ? "confirmed" : "not confirmed"; }

std::string StepText(const char* label, int64_t value, const std::optional<bool>& confirmed) {
  return std::string(label) + " " + std::to_string(value) + ": " +
         (confirmed ? Confirmation(*confirmed) : "not sent");
}

}  // namespace

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

}  // namespace zt::cli
