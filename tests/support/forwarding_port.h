#pragma once

#include <chrono>
#include <functional>
#include <string_view>
#include <vector>

#include "link/serial_port.h"

namespace zt::test {

// Passes every call on to the port it wraps, which outlives it, and gives a
// test a hand on the moments around it: just before the port closes (to see
// what else was true then) and after each write (to act between two
// exchanges).
class ForwardingPort final : public SerialPort {
 public:
  explicit ForwardingPort(SerialPort& port) : port_(port) {}

  // Runs after each write with the number of writes so far.
  std::function<void(int written)> afterWrite;
  // Runs just before the wrapped port closes.
  std::function<void()> beforeClose;

  void SelectPort(int16_t number) override { port_.SelectPort(number); }
  void SetPortDevice(int16_t number, const std::string& device) override {
    port_.SetPortDevice(number, device);
  }
  bool SetLineFormat(std::string_view text) override { return port_.SetLineFormat(text); }
  OpenResult Open() override { return port_.Open(); }
  void Close() override {
    if (beforeClose) beforeClose();
    port_.Close();
  }
  bool IsOpen() const override { return port_.IsOpen(); }
  void ClearReceiveBuffer() override { port_.ClearReceiveBuffer(); }
  void DiscardPendingInput() override { port_.DiscardPendingInput(); }
  int16_t CountWaiting() override { return port_.CountWaiting(); }
  std::vector<uint8_t> ReadWaiting() override { return port_.ReadWaiting(); }
  void Write(const uint8_t* data, int16_t length) override {
    port_.Write(data, length);
    ++written_;
    if (afterWrite) afterWrite(written_);
  }
  bool WaitForBytes(std::chrono::microseconds timeout) override {
    return port_.WaitForBytes(timeout);
  }
  bool DeviceLost() const override { return port_.DeviceLost(); }

 private:
  SerialPort& port_;
  int written_ = 0;
};

}  // namespace zt::test
