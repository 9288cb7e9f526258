#pragma once

#include <optional>
#include <string>

#include "link/network_device.h"
#include "link/network_serial_port.h"
#include "link/port_devices.h"
#include "link/qt_serial_port.h"
#include "link/serial_port.h"

namespace zt {

// SerialPort for whatever the selected port number names: a serial device
// server for "tcp://..." and "rfc2217://...", a tty for anything else. Which
// one is used is decided at each Open, so a port number may be moved from a
// tty to a server and back between opens.
class DevicePort final : public SerialPort {
 public:
  explicit DevicePort(PortDevices devices = {});

  void SelectPort(int16_t portNumber) override;
  void SetPortDevice(int16_t portNumber, const std::string& device) override;
  bool SetLineFormat(std::string_view settingsText) override;
  OpenResult Open() override;
  void Close() override { Active().Close(); }
  bool IsOpen() const override { return Active().IsOpen(); }
  void ClearReceiveBuffer() override { Active().ClearReceiveBuffer(); }
  void DiscardPendingInput() override { Active().DiscardPendingInput(); }
  int16_t CountWaiting() override { return Active().CountWaiting(); }
  std::vector<uint8_t> ReadWaiting() override { return Active().ReadWaiting(); }
  void Write(const uint8_t* data, int16_t length) override { Active().Write(data, length); }
  bool WaitForBytes(std::chrono::microseconds timeout) override {
    return Active().WaitForBytes(timeout);
  }
  bool DeviceLost() const override { return Active().DeviceLost(); }
  bool SetsLineFormat() const override {
    return !NamesNetworkDevice(Device()) || net_.SetsLineFormat();
  }

  // The device the selected port number maps to.
  std::string Device() const { return devices_.DeviceFor(portNumber_); }
  // The server behind the selected port number, if it names one.
  std::optional<NetworkDevice> Server() const { return ParseNetworkDevice(Device()); }

 private:
  SerialPort& Active() { return network_ ? static_cast<SerialPort&>(net_) : tty_; }
  const SerialPort& Active() const {
    return network_ ? static_cast<const SerialPort&>(net_) : tty_;
  }

  PortDevices devices_;
  int16_t portNumber_ = 1;
  QtSerialPort tty_;
  NetworkSerialPort net_;
  // The kind of the last Open; both stay closed but one.
  bool network_ = false;
};

}  // namespace zt
