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

OpenResult ReopenLine(SerialPort& port, Transaction& transaction, const LinkSettings& settings) {
  port.Close();
  const OpenResult opened = OpenLine(port, settings);
  if (opened) {
    transaction.ForgetLine();
    if (transaction.Fast()) {
      transaction.SetFastExchange(FastExchange::ForLine(LineFormatOf(settings)));
    }
  }
  return opened;
}

}  // namespace zt
