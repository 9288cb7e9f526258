#include "console/link_health_text.h"

#include "console/window_text.h"
#include "meter/link_advice.h"
#include "res/texts.h"

namespace zt {

QString LinkHealthText(const std::optional<FailureDiagnosis>& mainCause, bool deviceLost) {
  if (deviceLost) {
    return Tr(res::text::kLinkHealthFormat)
        .arg(Tr(res::text::kDeviceLost), Tr(res::text::kDeviceLostLook));
  }
  if (!mainCause) {
    return {};
  }
  return Tr(res::text::kLinkHealthFormat)
      .arg(QString::fromStdString(HappenedWords(*mainCause, TranslatedText)),
           Tr(AdviceOf(mainCause->cause).look));
}

QString WithCause(const QString& message, const std::optional<FailureDiagnosis>& why) {
  return QString::fromStdString(WithCause(message.toStdString(), why, TranslatedText));
}

}  // namespace zt
