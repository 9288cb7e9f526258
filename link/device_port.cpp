#include "link/device_port.h"

namespace zt {

DevicePort::DevicePort(PortDevices devices)
    : devices_(devices), tty_(devices), net_(std::move(devices)) {
  network_ = NamesNetworkDevice(Device());
}

void DevicePort::SelectPort(int16_t portNumber) {
  portNumber_ = portNumber;
  tty_.SelectPort(portNumber);
  net_.SelectPort(portNumber);
}

void DevicePort::SetPortDevice(int16_t portNumber, const std::string& device) {
  devices_.For(portNumber) = device;
  tty_.SetPortDevice(portNumber, device);
  net_.SetPortDevice(portNumber, device);
}

bool DevicePort::SetLineFormat(std::string_view settingsText) {
  // Only the open one touches a line; the other only records the format.
  SerialPort& idle = network_ ? static_cast<SerialPort&>(tty_) : net_;
  idle.SetLineFormat(settingsText);
  return Active().SetLineFormat(settingsText);
}

OpenResult DevicePort::Open() {
  Active().Close();
  network_ = NamesNetworkDevice(Device());
  return Active().Open();
}

}  // namespace zt
