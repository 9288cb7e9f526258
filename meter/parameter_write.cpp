#include "meter/parameter_write.h"

#include <array>
#include <utility>

#include "meter/link_advice.h"
#include "res/texts.h"

namespace zt {

std::optional<EnteredValue> FirstParameterOutOfRange(const ParameterValues& values) {
  const std::array<std::pair<int32_t, EnteredValue>, 4> checks = {{
      {values.decimalPoint, value::kDecimalPoint},
      {values.upperLimit, value::kUpperLimit},
      {values.lowerLimit, value::kLowerLimit},
      {values.meterBaud, value::kMeterBaud},
  }};
  for (const auto& [entered, what] : checks) {
    if (!what.range.Contains(entered)) {
      return what;
    }
  }
  return std::nullopt;
}

std::string ParameterWriteReport(const ParameterWrites& writes,
                                 std::string (*text)(const char*), bool withCauses) {
  const auto shown = [text](const char* source) { return text ? text(source) : std::string(source); };
  if (writes.AllConfirmed()) {
    return shown(res::text::kWriteSucceeded);
  }
  std::string report = shown(res::text::kWriteFailed) + ":";
  struct Outcome {
    bool confirmed;
    const std::optional<FailureDiagnosis>& why;
    const char* caption;
  };
  const std::array<Outcome, 4> outcomes = {{
      {writes.decimalPoint, writes.decimalPointWhy, value::kDecimalPoint.caption},
      {writes.upperLimit, writes.upperLimitWhy, value::kUpperLimit.caption},
      {writes.lowerLimit, writes.lowerLimitWhy, value::kLowerLimit.caption},
      {writes.meterBaud, writes.meterBaudWhy, value::kMeterBaud.caption},
  }};
  for (const Outcome& outcome : outcomes) {
    if (!outcome.confirmed) {
      report += " " + shown(outcome.caption);
      if (withCauses) {
        report = WithCause(std::move(report), outcome.why, text);
      }
    }
  }
  return report;
}

const char* AddressChangeReport(bool confirmed) {
  return confirmed ? res::text::kAddressWritten : res::text::kAddressNotWritten;
}

}  // namespace zt
