#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "link/clock.h"
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

// One request, one fixed wait, one look at what has arrived: no timeout loop
// and no retry. Holds the request and receive buffers for the port's owner.
class Transaction {
 public:
  static constexpr int16_t kRxBufferSize = 300;
  static constexpr int16_t kNoReply = -1;

  Transaction(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}

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

  SerialPort& port_;
  Clock& clock_;
  TxFrame txFrame_;
  std::array<uint8_t, kRxBufferSize> rxBuffer_{};
  int16_t rxCount_ = 0;
};

}  // namespace zt
