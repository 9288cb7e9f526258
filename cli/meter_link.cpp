#include "cli/meter_link.h"

#include "cli/link_report.h"
#include "link/link_settings.h"
#include "link/port_devices.h"

namespace zt::cli {

OpenResult MeterLink::Open() {
  const LinkSettings& settings = options_.settings;
  if (options_.simulate) {
    // The simulated meter answers at the address and line asked for.
    simulated_.emplace(settings);
    line_ = std::make_unique<MeterLine>(simulated_->Port(), clock_, settings);
  } else {
    PortDevices devices;
    if (options_.device) {
      devices.For(settings.port) = *options_.device;
    }
    devicePort_ = std::make_unique<DevicePort>(std::move(devices));
    line_ = std::make_unique<MeterLine>(
        *devicePort_, clock_, settings,
        [this](ReconnectingPort::Change change) { TellDevice(change); });
  }
  const OpenResult opened = line_->Open();
  if (!opened) {
    return opened;
  }

  zt::Transaction& transaction = line_->Transaction();
  transaction.SetLocalEcho(options_.echo);
  if (options_.guardLimit) {
    transaction.SetGuardLimit(*options_.guardLimit);
  }
  if (options_.fast) {
    transaction.SetFastExchange(FastExchange::ForLine(LineFormatOf(settings)));
  }
  if (options_.trace) {
    transaction.SetFrameObserver(TraceTo(errors_, transaction.CreatedAt()));
  }
  return opened;
}

OpenResult MeterLink::Reopen(const LinkSettings& settings) { return line_->Reopen(settings); }

std::string MeterLink::PortName() const {
  if (options_.simulate) {
    return "simulated meter";
  }
  return devicePort_->Device();
}

void MeterLink::TellDevice(ReconnectingPort::Change change) {
  const std::string device = devicePort_->Device();
  if (change == ReconnectingPort::Change::kLost) {
    errors_ << "zt6100ctl: lost the device " << device << "; trying to reopen it every second"
            << std::endl;
  } else if (change == ReconnectingPort::Change::kBack) {
    errors_ << "zt6100ctl: reopened the device " << device << std::endl;
  }
}

}  // namespace zt::cli
