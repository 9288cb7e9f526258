#pragma once

#include <chrono>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "link/serial_port.h"

namespace zt::test {

// Passes everything to the port it wraps and calls `onClose` just before the
// port closes, so that a test can see what else was true at that moment.
class WatchedPort final : public SerialPort {
 public:
  WatchedPort(SerialPort& port, std::function<void()> onClose)
      : port_(port), onClose_(std::move(onClose)) {}

  void SelectPort(int16_t number) override { port_.SelectPort(number); }
  void SetPortDevice(int16_t number, const std::string& device) override {
    port_.SetPortDevice(number, device);
  }
  bool SetLineFormat(std::string_view text) override { return port_.SetLineFormat(text); }
  OpenResult Open() override { return port_.Open(); }
  void Close() override {
    onClose_();
    port_.Close();
  }
  bool IsOpen() const override { return port_.IsOpen(); }
  void ClearReceiveBuffer() override { port_.ClearReceiveBuffer(); }
  void DiscardPendingInput() override { port_.DiscardPendingInput(); }
  int16_t CountWaiting() override { return port_.CountWaiting(); }
  std::vector<uint8_t> ReadWaiting() override { return port_.ReadWaiting(); }
  void Write(const uint8_t* data, int16_t length) override { port_.Write(data, length); }
  bool WaitForBytes(std::chrono::microseconds timeout) override {
    return port_.WaitForBytes(timeout);
  }
  bool DeviceLost() const override { return port_.DeviceLost(); }

 private:
  SerialPort& port_;
  std::function<void()> onClose_;
};

}  // namespace zt::test
