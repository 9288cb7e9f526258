#pragma once

#include <QString>

#include <optional>

#include "link/failure_cause.h"

namespace zt {

// The console's line that says why the meter does not answer and what to
// check: the device lost, else the main cause of the failures since the
// last success; empty while the link is well.
QString LinkHealthText(const std::optional<FailureDiagnosis>& mainCause, bool deviceLost);

// A failure message with why after it: "写本机地址不成功 (仪表拒绝: 异常 03)".
QString WithCause(const QString& message, const std::optional<FailureDiagnosis>& why);

}  // namespace zt
