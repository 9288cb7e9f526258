#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"

namespace zt::test {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const std::string& text);

// Counts the waits an exchange makes, in virtual milliseconds.
class RecordingClock final : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now += milliseconds;
  }
  uint32_t TickCount() override { return now; }

  uint32_t now = 0;
  std::vector<uint32_t> sleeps;
  uint32_t spins = 0;

 protected:
  void Spin() override {
    ++spins;
    ++now;
  }
};

struct ScriptedReply {
  Bytes bytes;
  uint32_t delayMs = 20;  // after the request was written
};

// A port whose far end answers each written request from a script.
class ScriptedPort final : public SerialPort {
 public:
  explicit ScriptedPort(RecordingClock& clock) : clock_(clock) {}

  std::function<std::optional<ScriptedReply>(const Bytes& request)> responder;

  struct Sent {
    uint32_t atMs;
    Bytes bytes;
  };
  std::vector<Sent> sent;

  // Bytes that arrive at a given time whatever was sent.
  void Inject(Bytes bytes, uint32_t atMs) { pending_.push_back({atMs, std::move(bytes)}); }

  void SelectPort(int16_t) override {}
  bool SetLineFormat(std::string_view) override { return true; }
  OpenResult Open() override {
    open_ = true;
    return {true, "scripted", ""};
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  void ReadEverything() override {}
  void ClearReceiveBuffer() override { TakeArrived(); }
  void DiscardPendingInput() override { TakeArrived(); }
  int16_t CountWaiting() override;
  std::vector<uint8_t> ReadWaiting() override { return TakeArrived(); }
  void Write(const uint8_t* data, int16_t length) override;

 private:
  struct Pending {
    uint32_t atMs;
    Bytes bytes;
  };
  Bytes TakeArrived();

  RecordingClock& clock_;
  bool open_ = true;
  std::vector<Pending> pending_;
};

}  // namespace zt::test
