#include "meter/meter_line.h"

#include <utility>

#include "link/open_line.h"

namespace zt {

MeterLine::MeterLine(SerialPort& device, Clock& clock, const LinkSettings& settings,
                     DeviceChange changed)
    : settings_(settings),
      changed_(std::move(changed)),
      port_(device, clock,
            [this](ReconnectingPort::Change change) {
              if (change == ReconnectingPort::Change::kBack) {
                transaction_.ForgetLine();
              }
              if (changed_) {
                changed_(change);
              }
            }),
      transaction_(port_, clock),
      session_(transaction_, settings_) {}

OpenResult MeterLine::Open(const std::string& device) {
  const OpenResult opened = OpenLine(port_, settings_, device);
  transaction_.ForgetLine();
  return opened;
}

OpenResult MeterLine::Reopen(const LinkSettings& settings) {
  settings_ = settings;
  return ReopenLine(port_, transaction_, settings_);
}

}  // namespace zt
