#include "cli/meter_link.h"

#include "cli/link_report.h"
#include "link/link_settings.h"
#include "link/open_line.h"
#include "link/port_device_map.h"
#include "meter/commission_apply.h"

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
    devicePort_ = std::make_unique<DevicePort>(std::move(devices));
    reconnecting_ = std::make_unique<ReconnectingPort>(
        *devicePort_, clock_, [this](ReconnectingPort::Change change) { TellDevice(change); });
    port_ = reconnecting_.get();
  }
  const OpenResult opened = OpenLine(*port_, settings);
  if (!opened) {
    return opened;
  }

  transaction_ = std::make_unique<Transaction>(*port_, clock_);
  transaction_->SetLocalEcho(options_.echo);
  if (options_.guardLimit) {
    transaction_->SetGuardLimit(*options_.guardLimit);
  }
  if (options_.fast) {
    transaction_->SetFastExchange(FastExchange::ForLine(LineFormatOf(settings)));
  }
  if (options_.trace) {
    transaction_->SetFrameObserver(TraceTo(errors_, transaction_->CreatedAt()));
  }
  session_ = std::make_unique<MeterSession>(*transaction_, options_.settings);
  return opened;
}

OpenResult MeterLink::Reopen(const LinkSettings& settings) {
  return ReopenPort(*port_, *transaction_, settings);
}

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
    // Perhaps another adapter at the same path: whether it echoes is found out anew.
    transaction_->ForgetLine();
    errors_ << "zt6100ctl: reopened the device " << device << std::endl;
  }
}

}  // namespace zt::cli
