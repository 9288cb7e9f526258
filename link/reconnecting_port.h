#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"

namespace zt {

// A SerialPort that brings its device back. When the device of a port that
// was opened goes away (the port has closed itself after a hang-up, a pulled
// adapter, a read or write error), the same device is reopened with the same
// line format as soon as it exists again: tried at once, then at most once a
// second on the injected clock, whenever an exchange starts or the owner
// calls Revive from its idle timer. Nothing here ever waits. Close ends the
// watch until the next Open.
class ReconnectingPort final : public SerialPort {
 public:
  enum class Change { kNone, kLost, kBack };
  static constexpr uint32_t kRetryPeriodMs = 1000;

  // `port` and `clock` must outlive this object. `changed` hears each loss
  // and each return once, on the thread that uses the port.
  ReconnectingPort(SerialPort& port, Clock& clock, std::function<void(Change)> changed = {});

  // Notices a lost device and, when it is due, tries to reopen it.
  Change Revive();
  // True from the moment a loss is noticed until the device is back.
  bool Lost() const { return lost_; }

  void SelectPort(int16_t portNumber) override { port_.SelectPort(portNumber); }
  void SetPortDevice(int16_t portNumber, const std::string& device) override {
    port_.SetPortDevice(portNumber, device);
  }
  bool SetLineFormat(std::string_view settingsText) override {
    return port_.SetLineFormat(settingsText);
  }
  OpenResult Open() override;
  void Close() override;
  bool IsOpen() const override { return port_.IsOpen(); }
  void ClearReceiveBuffer() override { port_.ClearReceiveBuffer(); }
  void DiscardPendingInput() override;
  int16_t CountWaiting() override { return port_.CountWaiting(); }
  std::vector<uint8_t> ReadWaiting() override { return port_.ReadWaiting(); }
  void Write(const uint8_t* data, int16_t length) override;
  bool WaitForBytes(std::chrono::microseconds timeout) override {
    return port_.WaitForBytes(timeout);
  }
  bool DeviceLost() const override { return lost_ || port_.DeviceLost(); }
  bool SetsLineFormat() const override { return port_.SetsLineFormat(); }

 private:
  void Report(Change change);

  SerialPort& port_;
  Clock& clock_;
  std::function<void(Change)> changed_;
  // Opened by the owner and not closed by it since.
  bool wanted_ = false;
  bool lost_ = false;
  uint32_t lastTry_ = 0;
};

}  // namespace zt
