#pragma once

#include <optional>
#include <string>

#include "meter/meter_session.h"
#include "meter/value_ranges.h"

namespace zt {

// The writes of the parameter block and of the meter's address: what is
// checked before anything is sent, and what the technician is told after.

// The first value, in the order decimal point, upper threshold, lower
// threshold, baud, that does not fit a 16-bit register; none when all fit.
std::optional<EnteredValue> FirstParameterOutOfRange(const ParameterValues& values);

// "写数据成功！" when the meter echoed all four parameter writes; otherwise
// "写数据不成功:" and the caption of every box whose write it did not echo.
// Each of these texts passes through `text` (its translation in a window),
// by default unchanged. `withCauses` adds why after each caption, as the
// console's window says it: "波特率 (仪表拒绝: 异常 03)".
std::string ParameterWriteReport(const ParameterWrites& writes,
                                 std::string (*text)(const char*) = nullptr,
                                 bool withCauses = false);

// "写本机地址成功！" or "写本机地址不成功".
const char* AddressChangeReport(bool confirmed);

}  // namespace zt
