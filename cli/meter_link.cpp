#include "cli/meter_link.h"

#include "link/link_settings.h"
#include "link/port_device_map.h"
#include "link/qt_serial_port.h"

namespace zt::cli {

OpenResult MeterLink::Open() {
  const LinkSettings& settings = options_.settings;
  if (options_.simulate) {
    // The simulated meter answers at the address and line asked for.
    simulated_.emplace(settings);
    port_ = &simulated_->Port();
  } else {
    PortDeviceMap devices;
    if (options_.device) {
      devices.Override(settings.port, *options_.device);
    }
    devicePort_ = std::make_unique<QtSerialPort>(std::move(devices));
    port_ = devicePort_.get();
  }
  port_->SelectPort(settings.port);
  const std::string format = SettingsText(settings);
  port_->SetLineFormat(format);
  const OpenResult opened = port_->Open();
  if (!opened) {
    return opened;
  }
  port_->ClearReceiveBuffer();

  link_ = std::make_unique<Transaction>(*port_, clock_);
  link_->SetLocalEcho(options_.echo);
  if (options_.fast) {
    link_->SetFastExchange(FastExchange::ForLine(ParseSettingsText(format).value_or(LineFormat{})));
  }
  session_ = std::make_unique<MeterSession>(*link_, options_.settings);
  return opened;
}

}  // namespace zt::cli
