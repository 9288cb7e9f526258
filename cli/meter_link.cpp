#include "cli/meter_link.h"

#include "link/link_settings.h"
#include "link/port_device_map.h"
#include "meter/register_map.h"
#include "sim/meter_model.h"

namespace zt::cli {

OpenResult MeterLink::Open() {
  const LinkSettings& settings = options_.settings;
  PortDeviceMap devices;
  if (options_.simulate) {
    // The built-in meter answers at the address and rate asked for.
    sim::SimOptions meter;
    meter.address = settings.address;
    meter.baudIndex = static_cast<uint16_t>(BaudIndexOf(settings.baudRate).value_or(sim::MeterModel::kDefaultLineBaudIndex));
    simulated_.emplace(meter);
    std::string error;
    const std::optional<std::string> pty = simulated_->Start(error);
    if (!pty) {
      return {false, "the simulated meter's pty", error};
    }
    devices.Override(settings.port, *pty);
  } else if (options_.device) {
    devices.Override(settings.port, *options_.device);
  }
  port_ = std::make_unique<QtSerialPort>(std::move(devices));
  port_->SelectPort(settings.port);
  const std::string format = SettingsText(settings);
  port_->SetLineFormat(format);
  const OpenResult opened = port_->Open();
  if (!opened) {
    return opened;
  }
  port_->ReadEverything();
  port_->ClearReceiveBuffer();

  link_ = std::make_unique<Transaction>(*port_, clock_);
  if (options_.fast) {
    link_->SetFastExchange(FastExchange::ForLine(ParseSettingsText(format).value_or(LineFormat{})));
  }
  session_ = std::make_unique<MeterSession>(*link_, options_.settings);
  return opened;
}

}  // namespace zt::cli
