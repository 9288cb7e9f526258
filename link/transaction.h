#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/modbus_rtu.h"
#include "link/serial_port.h"

namespace zt {

enum class WaitKind { None, Sleep, BusyWait };

// How long an exchange waits after sending, and how: a sleep suspends the
// thread, a busy wait spins on the tick count.
struct Wait {
  WaitKind kind = WaitKind::None;
  uint32_t milliseconds = 0;

  static constexpr Wait None() { return {}; }
  static constexpr Wait SleepFor(uint32_t ms) { return {WaitKind::Sleep, ms}; }
  static constexpr Wait BusyFor(uint32_t ms) { return {WaitKind::BusyWait, ms}; }
};

struct ExpectedReply {
  uint8_t function = 0;
  uint8_t address = 0;
  int16_t length = 0;
};

// An opt-in policy for a headless master that must not idle through the
// console's fixed waits: after sending, the port is polled and the exchange
// ends as soon as the bytes read so far hold the expected reply, the fixed
// wait becoming the deadline. Because the next request may then follow at
// once, the line is first left silent for 3.5 character times, the gap by
// which a Modbus RTU slave tells one frame from the next.
struct FastExchange {
  std::chrono::microseconds characterTime{0};

  std::chrono::microseconds Silence() const { return characterTime * 7 / 2; }
  // Start bit, data bits, parity bit and stop bits at the line's rate.
  static FastExchange ForLine(const LineFormat& line);
};

// One request, one fixed wait, one look at what has arrived: no timeout loop
// and no retry. Holds the request and receive buffers for the port's owner.
// With a FastExchange policy set, the wait instead ends at the reply.
class Transaction {
 public:
  static constexpr int16_t kRxBufferSize = 300;
  static constexpr int16_t kNoReply = -1;
  // How often the port is looked at under the fast policy.
  static constexpr uint32_t kFastPollStepMs = 1;

  Transaction(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}

  // Off (the console's fixed waits) unless set.
  void SetFastExchange(std::optional<FastExchange> policy) { fast_ = policy; }
  const std::optional<FastExchange>& Fast() const { return fast_; }

  // Discard pending input, send, wait, collect; the index of the reply in
  // RxBuffer, or kNoReply.
  int16_t RequestReply(const TxFrame& request, Wait wait, const ExpectedReply& expected);

  // Discard pending input and send; whatever the meter answers stays in the
  // port until the next discard.
  void RequestOnly(const TxFrame& request);

  // Searches the bytes of the latest read again, for another sender or length.
  int16_t Search(const ExpectedReply& expected) const;

  const TxFrame& LastRequest() const { return txFrame_; }
  // The bytes copied by the latest read.
  std::span<const uint8_t> Received() const {
    return {rxBuffer_.data(), static_cast<std::size_t>(rxCount_)};
  }
  uint8_t RxByte(int16_t index) const { return rxBuffer_[static_cast<std::size_t>(index)]; }
  // Register `n` (0-based) of a function 3 reply found at `replyIndex`, high byte first.
  uint16_t ReplyRegister(int16_t replyIndex, int n) const;

  SerialPort& Port() { return port_; }
  Clock& ClockSource() { return clock_; }

 private:
  void Send(const TxFrame& request);
  void WaitAfterSending(Wait wait);
  void Collect();

  int16_t RequestReplyFast(const TxFrame& request, Wait wait, const ExpectedReply& expected);
  // Appends whatever is waiting to RxBuffer, up to its size.
  void Gather();
  void KeepLineSilent();
  // The line is taken to be busy for `stillBusy` more, then silence starts.
  void MarkExchangeEnd(std::chrono::microseconds stillBusy);

  SerialPort& port_;
  Clock& clock_;
  TxFrame txFrame_;
  std::array<uint8_t, kRxBufferSize> rxBuffer_{};
  int16_t rxCount_ = 0;

  std::optional<FastExchange> fast_;
  std::optional<uint32_t> lastExchangeEndTick_;
  uint32_t silenceMs_ = 0;
};

}  // namespace zt
