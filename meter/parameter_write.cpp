#include "meter/parameter_write.h"

#include <array>
#include <utility>

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
                                 std::string (*text)(const char*)) {
  const auto shown = [text](const char* source) { return text ? text(source) : std::string(source); };
  if (writes.AllConfirmed()) {
    return shown(res::text::kWriteSucceeded);
  }
  std::string report = shown(res::text::kWriteFailed) + ":";
  const std::array<std::pair<bool, const char*>, 4> outcomes = {{
      {writes.decimalPoint, value::kDecimalPoint.caption},
      {writes.upperLimit, value::kUpperLimit.caption},
      {writes.lowerLimit, value::kLowerLimit.caption},
      {writes.meterBaud, value::kMeterBaud.caption},
  }};
  for (const auto& [confirmed, caption] : outcomes) {
    if (!confirmed) {
      report += " " + shown(caption);
    }
  }
  return report;
}

const char* AddressChangeReport(bool confirmed) {
  return confirmed ? res::text::kAddressWritten : res::text::kAddressNotWritten;
}

}  // namespace zt
