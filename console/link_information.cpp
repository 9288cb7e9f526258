#include "console/link_information.h"

#include <QString>

#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

std::string LinkInformationText(const LinkSettings& settings, bool afterChange, bool lineEchoes) {
  QString info =
      Tr(res::text::kLinkInfoFormat).arg(settings.address).arg(settings.port).arg(settings.baudRate);
  switch (settings.parity) {
    case kParityNone:
      info += Tr(afterChange ? res::text::kParityNoneAfterChange : res::text::kParityNoneAtOpening);
      break;
    case kParityOdd:
      info += Tr(res::text::kParityOdd);
      break;
    case kParityEven:
      info += Tr(res::text::kParityEven);
      break;
    default:
      break;
  }
  if (lineEchoes) {
    info += Tr(res::text::kLocalEchoDetected);
  }
  return info.toStdString();
}

}  // namespace zt
