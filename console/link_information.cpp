#include "console/link_information.h"

#include <QString>

#include <optional>

#include "console/window_text.h"
#include "link/network_device.h"
#include "res/texts.h"

namespace zt {

std::string LinkInformationText(const LinkSettings& settings, bool afterChange, bool lineEchoes,
                                const std::string& device) {
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
  if (const std::optional<NetworkDevice> server = ParseNetworkDevice(device)) {
    const QString kind = server->kind == NetworkDevice::Kind::kRfc2217
                             ? QStringLiteral("RFC 2217")
                             : Tr(res::text::kRawTcp) + QLatin1Char(' ') +
                                   Tr(res::text::kRateSetByServer);
    info += Tr(res::text::kLinkInfoServer).arg(QString::fromStdString(server->Server()), kind);
  }
  if (lineEchoes) {
    info += Tr(res::text::kLocalEchoDetected);
  }
  return info.toStdString();
}

}  // namespace zt
