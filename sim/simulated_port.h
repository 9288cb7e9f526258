#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/serial_port.h"
#include "sim/meter_model.h"
#include "sim/meter_responder.h"

namespace zt::sim {

// A request as it left the port.
struct WrittenFrame {
  std::chrono::microseconds at{0};
  std::vector<uint8_t> bytes;
  LineFormat line;
  int16_t port = 0;
};

enum class PortOperation {
  SelectPort,
  SetLineFormat,
  Open,
  Close,
  ClearReceiveBuffer,
  DiscardPendingInput,
  CountWaiting,
  ReadWaiting,
  Write,
  WaitForBytes,
};

// One call on the port, in call order. `text` is the port number, the
// settings text, the device or the reason an open failed, or a byte count;
// `ok` is false for a refused line format, a failed open and a write that
// sent nothing.
struct PortEvent {
  PortOperation operation;
  std::chrono::microseconds at{0};
  std::string text;
  bool ok = true;
};

// A serial port with a simulated meter on the far end of its line. A written
// request reaches the meter after its line time; the meter hears it only if
// the port's line format is the meter's; each reply byte becomes waiting once
// the clock has passed its arrival (the request's line time, the latency,
// then one character time per byte). The port looks at the clock whenever it
// is called and moves it only by sleeping on it while it waits for bytes: on
// a virtual clock that jumps to the next arrival, on the system clock it
// sleeps until then.
class SimulatedPort final : public SerialPort {
 public:
  // The line format a port has before anyone sets one, as a fresh serial
  // control has it: one stop bit, so it does not match the meter.
  static constexpr std::string_view kInitialLineFormat = "9600,N,8,1";

  SimulatedPort(Clock& clock, MeterModel& meter);

  void SelectPort(int16_t portNumber) override;
  // Remembered, not logged: the meter stays wired to its port number.
  void SetPortDevice(int16_t portNumber, const std::string& device) override {
    devices_[portNumber] = device;
  }
  // The device port number `portNumber` was last said to stand for.
  std::string DeviceOf(int16_t portNumber) const {
    const auto it = devices_.find(portNumber);
    return it == devices_.end() ? std::string() : it->second;
  }
  bool SetLineFormat(std::string_view settingsText) override;
  OpenResult Open() override;
  void Close() override;
  bool IsOpen() const override { return open_ && !vanished_; }
  void ClearReceiveBuffer() override;
  void DiscardPendingInput() override;
  int16_t CountWaiting() override;
  std::vector<uint8_t> ReadWaiting() override;
  void Write(const uint8_t* data, int16_t length) override;
  bool WaitForBytes(std::chrono::microseconds timeout) override;
  bool DeviceLost() const override { return vanished_; }
  bool SetsLineFormat() const override { return !formatElsewhere_; }
  // A serial device server reached by raw TCP between port and meter: the
  // line keeps the format it has, whatever is set from now on.
  void SetLineFormatElsewhere(bool elsewhere) { formatElsewhere_ = elsewhere; }

  void SetFaults(FaultConfig faults) { responder_.SetFaults(std::move(faults)); }
  void SetFaultMix(FaultMix mix) { responder_.SetFaultMix(mix); }
  const MeterResponder& Responder() const { return responder_; }
  void SetFaultObserver(std::function<void(const Request&, FaultKind)> observer) {
    responder_.SetFaultObserver(std::move(observer));
  }
  // A two-wire adapter that hears its own transmission: every byte written
  // comes back to the port as it leaves, whatever the meter does.
  void SetLocalEcho(bool echo) { localEcho_ = echo; }
  void SetReplyLatency(std::chrono::microseconds latency) { responder_.SetLatency(latency); }
  MeterModel& Meter() { return responder_.Meter(); }
  // The port number the meter is wired to; the other port has nothing on it.
  void SetMeterPort(int16_t portNumber) { meterPort_ = portNumber; }

  // Bytes from nowhere that arrive at virtual time `at`, whatever the line
  // format, if the port is open then.
  void InjectIncoming(std::chrono::microseconds at, std::vector<uint8_t> bytes);
  // The adapter is pulled out: from now on the port reports itself closed
  // and its device lost, counting gives 0, reading gives nothing, writing
  // sends nothing and opening fails.
  void Vanish();
  // The adapter is plugged back in: the port stays closed until opened again.
  void Reappear();
  // Every later Open fails with `reason`, until AllowOpen.
  void FailOpen(std::string reason) { openFailure_ = std::move(reason); }
  void AllowOpen() { openFailure_.reset(); }

  // Off, the port keeps no record of its calls and frames, so that a long
  // run does not grow it without end.
  void SetRecording(bool on) { recording_ = on; }
  const std::vector<WrittenFrame>& Written() const { return written_; }
  const std::vector<PortEvent>& Events() const { return events_; }
  std::vector<PortOperation> Operations() const;
  void ClearLogs();
  LineFormat CurrentLineFormat() const { return format_; }
  int16_t SelectedPort() const { return selectedPort_; }

 private:
  struct Outgoing {
    std::chrono::microseconds arrival;
    std::vector<uint8_t> bytes;
    LineFormat line;
    int16_t port;
  };
  struct Incoming {
    uint8_t byte;
    std::optional<LineFormat> line;  // none for stray bytes
  };

  // Plays the line forward to the clock's time: requests reach the meter and
  // reply bytes reach the port, in the order of their times.
  void Settle();
  std::optional<std::chrono::microseconds> NextArrival() const;
  void Deliver(const Outgoing& request);
  void Receive(const Incoming& incoming);
  LineFormat MeterLineAt(std::chrono::microseconds at) const;
  bool Dead() const { return !open_ || vanished_; }
  void Log(PortOperation operation, std::string text = {}, bool ok = true);

  Clock& clock_;
  MeterResponder responder_;
  std::map<int16_t, std::string> devices_;
  int16_t meterPort_ = 1;

  int16_t selectedPort_ = 1;
  int16_t openPort_ = 0;
  LineFormat format_;
  bool open_ = false;
  bool vanished_ = false;
  bool localEcho_ = false;
  bool formatElsewhere_ = false;
  std::optional<std::string> openFailure_;

  std::deque<uint8_t> received_;
  std::deque<Outgoing> outgoing_;
  std::multimap<std::chrono::microseconds, Incoming> incoming_;
  std::chrono::microseconds portTxFreeAt_{0};
  std::chrono::microseconds meterTxFreeAt_{0};
  // After a request that changed the meter's baud rate, the meter keeps its
  // old line until its echo has gone out.
  std::optional<std::pair<std::chrono::microseconds, LineFormat>> oldMeterLineUntil_;

  bool recording_ = true;
  std::vector<WrittenFrame> written_;
  std::vector<PortEvent> events_;
};

}  // namespace zt::sim
