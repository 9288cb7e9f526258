#include "console/log_failure.h"

#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

QString LogFailureMessage(const std::filesystem::path& file, const AppendFailure& why) {
  std::error_code ignored;
  const std::filesystem::path shown = std::filesystem::absolute(file, ignored);
  QString reason;
  switch (why.kind) {
    case AppendFailure::Kind::kNotRegularFile:
      reason = Tr(res::text::kLogNotRegularFile);
      break;
    case AppendFailure::Kind::kReadOnly:
      reason = Tr(res::text::kLogReadOnly);
      break;
    case AppendFailure::Kind::kSystem:
    case AppendFailure::Kind::kNone:
      reason = QString::fromLocal8Bit(why.error.message());
      break;
  }
  return Tr(res::text::kLogFileFailedBecause)
      .arg(QString::fromStdWString(shown.empty() ? file.wstring() : shown.wstring()), reason);
}

}  // namespace zt
