#pragma once

#include <array>
#include <string>
#include <utility>

#include "meter/meter_session.h"
#include "res/texts.h"

namespace zt::res {

// "写数据成功！" when the meter echoed all four parameter writes; otherwise
// "写数据不成功:" and the caption of every box whose write it did not echo.
inline std::string ParameterWriteReport(const ParameterWrites& writes) {
  if (writes.AllConfirmed()) {
    return text::kWriteSucceeded;
  }
  std::string report = std::string(text::kWriteFailed) + ":";
  const std::array<std::pair<bool, const char*>, 4> outcomes = {{
      {writes.decimalPoint, text::kDecimalPointCaption},
      {writes.upperLimit, text::kUpperLimitCaption},
      {writes.lowerLimit, text::kLowerLimitCaption},
      {writes.meterBaud, text::kMeterBaudCaption},
  }};
  for (const auto& [confirmed, caption] : outcomes) {
    if (!confirmed) {
      report += std::string(" ") + caption;
    }
  }
  return report;
}

}  // namespace zt::res
