#include "link/open_line.h"

namespace zt {

OpenResult OpenLine(SerialPort& port, const LinkSettings& settings, const std::string& device) {
  if (!device.empty()) {
    port.SetPortDevice(settings.port, device);
  }
  port.SelectPort(settings.port);
  port.SetLineFormat(SettingsText(settings));
  const OpenResult opened = port.Open();
  if (opened) {
    port.ClearReceiveBuffer();
  }
  return opened;
}

}  // namespace zt
