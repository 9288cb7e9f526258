#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

#include "link/link_settings.h"
#include "link/transaction.h"
#include "meter/meter_clock.h"
#include "meter/register_map.h"

namespace zt {

struct SwitchStatus {
  uint8_t relayOutput = 0;  // high byte of register 0x0016
  uint8_t switchInput = 0;  // low byte

  // Only the value 1 means on or closed.
  bool RelayOn() const { return relayOutput == 1; }
  bool InputClosed() const { return switchInput == 1; }
};

struct PollResult {
  std::optional<int32_t> decimalPoint;  // empty when the decimal-point read failed
  std::optional<int32_t> rawValue;      // empty when the live-value read failed
};

// The parameter block as the console shows it; the baud is a rate in bit/s
// (or the meter's code unchanged when it is not 0 to 4).
struct ParameterValues {
  int32_t upperLimit = 0;
  int32_t lowerLimit = 0;
  int32_t decimalPoint = 0;
  int32_t meterBaud = 0;
};

struct ParameterReads {
  std::optional<int32_t> upperLimit;
  std::optional<int32_t> lowerLimit;
  std::optional<int32_t> decimalPoint;
  std::optional<int32_t> meterBaud;
  // Reads made, in the order above; the rest were skipped by a stop request.
  int made = 4;
};

// Which of the four parameter writes the meter echoed.
struct ParameterWrites {
  bool decimalPoint = false;
  bool upperLimit = false;
  bool lowerLimit = false;
  bool meterBaud = false;
  // Writes sent, in the order above; the rest were skipped by a stop request.
  int sent = 4;

  // Why each write the meter did not echo failed; empty for an echoed one.
  std::optional<FailureDiagnosis> decimalPointWhy;
  std::optional<FailureDiagnosis> upperLimitWhy;
  std::optional<FailureDiagnosis> lowerLimitWhy;
  std::optional<FailureDiagnosis> meterBaudWhy;

  bool AllConfirmed() const { return decimalPoint && upperLimit && lowerLimit && meterBaud; }
};

// A command's result with why its exchange found no valid reply, which the
// technician's message names; `why` is empty when the reply came or when
// nothing was sent.
template <typename Value>
struct Explained {
  Value value;
  std::optional<FailureDiagnosis> why;
};

// Every exchange the console makes with the meter, without any window. Each
// request carries the address of `settings` as it stands when it is built. A
// write counts as confirmed only by the meter's own echo of that request; on
// a line whose echo is not known yet (see LocalEcho), a write is preceded by
// one read of the decimal point, which tells.
class MeterSession {
 public:
  static constexpr std::chrono::milliseconds kReadWait{600};
  static constexpr std::chrono::milliseconds kPollPause{300};
  static constexpr std::chrono::milliseconds kClockWait{300};
  static constexpr std::chrono::milliseconds kConfirmedWriteWait{300};
  static constexpr std::chrono::milliseconds kParameterWriteSpacing{300};
  static constexpr std::chrono::milliseconds kAddressEchoWait{300};

  MeterSession(zt::Transaction& transaction, const LinkSettings& settings)
      : transaction_(transaction), settings_(settings) {}

  // One function 3 read of a single register, 600 ms sleep.
  // A reply whose value is above `maxValue` answers no request for this
  // register: the read fails as a reply to another request.
  std::optional<int32_t> ReadRegister(uint16_t registerNumber,
                                      std::optional<uint16_t> maxValue = std::nullopt);

  // Only 0 to 3: the meter has no other decimal point.
  std::optional<int32_t> ReadDecimalPoint() {
    return ReadRegister(reg::kDecimalPoint, reg::kMaxDecimalPoint);
  }
  std::optional<int32_t> ReadLiveValue() { return ReadRegister(reg::kLiveValue); }
  std::optional<int32_t> ReadUpperLimit() { return ReadRegister(reg::kUpperLimit); }
  std::optional<int32_t> ReadLowerLimit() { return ReadRegister(reg::kLowerLimit); }
  // Register 0x0308, translated from its BaudIndex to a rate.
  std::optional<int32_t> ReadMeterBaud();
  std::optional<SwitchStatus> ReadSwitchStatus();
  // Registers 0x0110 to 0x0112 in one read, 300 ms sleep.
  std::optional<MeterClock> ReadClock();

  // Upper threshold, lower threshold, decimal point, baud, in this order.
  ParameterReads ReadParameters();

  // Decimal point, upper threshold, lower threshold and baud (a rate is sent
  // as its BaudIndex), each written with function 6 and its echo looked for in
  // the 300 ms that follow. All four are sent whatever the echoes.
  ParameterWrites WriteParameters(const ParameterValues& values);

  // Register 0x0300 at the current address; confirmed when the meter echoes
  // from the old address or from the new one within 300 ms.
  bool ChangeAddress(int32_t newAddress);

  // Register 0x0008 with the BaudIndex of `newRate`, echo awaited for 300 ms
  // at the current line settings.
  bool ChangeLinkBaud(int32_t newRate);

  // Function 16 to 0x0000/0x0001 and 0x0004/0x0005, function 6 to 0x0002;
  // each confirmed by the meter's reply within 300 ms.
  bool WritePtRatio(uint16_t pt);
  bool WriteCtRatio(uint16_t ct);
  bool WriteWiringMode(uint8_t mode);

  // One function 6 write of `value`'s low 16 bits, confirmed by the meter's
  // echo within 300 ms, as each write of the parameter block is.
  bool WriteRegister(uint16_t registerNumber, int32_t value);

  zt::Transaction& Transaction() { return transaction_; }
  const LinkSettings& Settings() const { return settings_; }

  // Once `stop` reads true the session sends nothing more: every exchange
  // asked for after that is skipped at once, as if unanswered. A command
  // asked to stop thus ends between two exchanges, never inside one.
  void SetStopRequest(const std::atomic<bool>* stop) { stop_ = stop; }
  // The last exchange asked for was skipped so: a write that returned false
  // was not sent at all.
  bool LastSkipped() const { return lastSkipped_; }
  // Why the last exchange asked for found no valid reply; empty when it
  // found one or was skipped.
  std::optional<FailureDiagnosis> LastFailure() const {
    return lastSkipped_ ? std::nullopt : transaction_.LastFailure();
  }

 private:
  uint8_t Address() const { return settings_.address; }
  void MakeEchoKnown();
  bool ConfirmedWrite(const TxFrame& request, std::chrono::milliseconds wait);
  int16_t Exchange(const TxFrame& request, std::chrono::milliseconds wait,
                   const ExpectedReply& expected);

  zt::Transaction& transaction_;
  const LinkSettings& settings_;
  const std::atomic<bool>* stop_ = nullptr;
  bool lastSkipped_ = false;
};

}  // namespace zt
