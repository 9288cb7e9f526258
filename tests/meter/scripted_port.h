#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"

namespace zt::test {

using Frame = std::vector<uint8_t>;

struct ScriptedReply {
  Frame bytes;
  uint32_t delayMs = 20;  // after the request was written
};

// A port whose far end answers each written request from a script.
class ScriptedPort final : public SerialPort {
 public:
  explicit ScriptedPort(VirtualClock& clock) : clock_(clock) {}

  std::function<std::optional<ScriptedReply>(const Frame& request)> responder;
  // Runs after each write: the time the writer takes, for instance.
  std::function<void()> onWrite;

  struct Sent {
    uint32_t atMs;
    Frame bytes;
  };
  std::vector<Sent> sent;

  // Bytes that arrive at a given time whatever was sent.
  void Inject(Frame bytes, uint32_t atMs) {
    pending_.push_back({std::chrono::milliseconds(atMs), std::move(bytes)});
  }

  void SelectPort(int16_t) override {}
  void SetPortDevice(int16_t, const std::string&) override {}
  bool SetLineFormat(std::string_view) override { return true; }
  OpenResult Open() override {
    open_ = true;
    OpenResult opened;
    opened.opened = true;
    opened.device = "scripted";
    return opened;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  void ClearReceiveBuffer() override { TakeArrived(); }
  void DiscardPendingInput() override { TakeArrived(); }
  int16_t CountWaiting() override;
  std::vector<uint8_t> ReadWaiting() override { return TakeArrived(); }
  void Write(const uint8_t* data, int16_t length) override;
  bool WaitForBytes(std::chrono::microseconds timeout) override;
  bool DeviceLost() const override { return false; }

 private:
  struct Pending {
    std::chrono::microseconds at;
    Frame bytes;
  };
  Frame TakeArrived();

  VirtualClock& clock_;
  bool open_ = true;
  std::vector<Pending> pending_;
};

}  // namespace zt::test
