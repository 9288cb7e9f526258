#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "link/link_settings.h"
#include "link/network_device.h"
#include "link/port_devices.h"
#include "link/serial_port.h"
#include "link/telnet_com_port.h"

class QTcpSocket;

namespace zt {

// SerialPort to a serial device server over QTcpSocket; the port number maps
// to a name such as "tcp://10.0.0.7:4001" or "rfc2217://gw:2217".
//
// Raw TCP carries the frames as they are and leaves the server's line as the
// server has it: setting the line format only records it. Over RFC 2217 the
// line format is sent to the server on open and on every change while open,
// and counts as set only once the server has confirmed each value.
//
// As on a tty, no event loop runs during an exchange: counting first pulls
// whatever the socket holds, so a reply that arrives in several segments is
// one run of waiting bytes. A connection the server drops closes the port and
// DeviceLost tells the owner.
class NetworkSerialPort final : public SerialPort {
 public:
  // For the connection, and for the server's answers while negotiating.
  static constexpr std::chrono::milliseconds kAnswerWithin{3000};

  explicit NetworkSerialPort(PortDevices devices = {});
  ~NetworkSerialPort() override;

  NetworkSerialPort(const NetworkSerialPort&) = delete;
  NetworkSerialPort& operator=(const NetworkSerialPort&) = delete;

  void SelectPort(int16_t portNumber) override { portNumber_ = portNumber; }
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
  bool SetsLineFormat() const override;

  std::string Device() const { return devices_.DeviceFor(portNumber_); }
  const LineFormat& Format() const { return format_; }

 private:
  // Reads what the socket holds, waiting up to `wait` for the first of it
  // when nothing is there yet; answers the server's negotiation at once.
  void Pull(std::chrono::milliseconds wait);
  // Waits for the server to take the option and confirm the line format;
  // empty when it has, else why not.
  std::string AwaitLine();
  bool StillThere();
  void LoseDevice();

  std::unique_ptr<QTcpSocket> socket_;
  PortDevices devices_;
  int16_t portNumber_ = 1;
  LineFormat format_;
  // The server of the open connection.
  std::optional<NetworkDevice> server_;
  TelnetComPort telnet_;
  std::vector<uint8_t> received_;
  bool open_ = false;
  bool lost_ = false;
};

}  // namespace zt
