#include "console/open_failure.h"

#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

QString OpenFailureMessage(const OpenResult& opened) {
  QString message = Tr(res::text::kPortOpenFailed)
                        .arg(QString::fromStdString(opened.device),
                             QString::fromStdString(opened.reason));
  if (opened.permissionDenied) {
    message += QStringLiteral("\n");
    message += opened.deviceGroup.empty()
                   ? Tr(res::text::kPermissionHintNoGroup)
                   : Tr(res::text::kPermissionHint).arg(QString::fromStdString(opened.deviceGroup));
  }
  return message;
}

}  // namespace zt
