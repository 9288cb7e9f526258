#pragma once

#include <memory>

#include "link/link_settings.h"
#include "link/port_devices.h"
#include "link/serial_port.h"

class QSerialPort;

namespace zt {

// SerialPort over Qt Serial Port. QSerialPort fills its read buffer from the
// event loop, which does not run during an exchange, so counting first pulls
// whatever the operating system holds. A device that disappears while open
// (a USB adapter pulled, a hung-up tty) is closed on the first error it
// reports, during an exchange or from the event loop while idle, so its read
// notifier cannot keep firing; DeviceLost then tells the owner.
class QtSerialPort final : public SerialPort {
 public:
  explicit QtSerialPort(PortDevices devices = {});
  ~QtSerialPort() override;

  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  void SelectPort(int16_t portNumber) override;
  void SetPortDevice(int16_t portNumber, const std::string& device) override {
    devices_.For(portNumber) = device;
  }
  bool SetLineFormat(std::string_view settingsText) override;
  OpenResult Open() override;
  void Close() override;
  bool IsOpen() const override;
  void ClearReceiveBuffer() override;
  void DiscardPendingInput() override;
  int16_t CountWaiting() override;
  std::vector<uint8_t> ReadWaiting() override;
  void Write(const uint8_t* data, int16_t length) override;
  bool WaitForBytes(std::chrono::microseconds timeout) override;
  bool DeviceLost() const override { return lost_; }

  // The device the selected port number maps to.
  std::string Device() const { return devices_.DeviceFor(portNumber_); }
  const LineFormat& Format() const { return format_; }

 private:
  bool ApplyLineFormat();
  // Closes the port when the device has gone away; true if it is still usable.
  bool StillThere();
  void LoseDevice();

  std::unique_ptr<QSerialPort> port_;
  PortDevices devices_;
  int16_t portNumber_ = 1;
  LineFormat format_;
  bool lost_ = false;
};

}  // namespace zt
