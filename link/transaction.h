#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/exchange_statistics.h"
#include "link/failure_cause.h"
#include "link/frame_trace.h"
#include "link/link_settings.h"
#include "link/modbus_rtu.h"
#include "link/serial_port.h"

namespace zt {

// An opt-in policy for a headless master that must not idle through the
// console's fixed waits: after sending, the exchange blocks on the port and
// ends as soon as the bytes received hold the expected reply, the fixed wait
// becoming the deadline. Because the next request may then follow at once,
// the line is first left silent for 3.5 character times after the last byte
// received, the gap by which a Modbus RTU slave tells one frame from the next.
struct FastExchange {
  std::chrono::microseconds characterTime{0};

  std::chrono::microseconds Silence() const { return characterTime * 7 / 2; }
  // Start bit, data bits, parity bit and stop bits at the line's rate.
  static FastExchange ForLine(const LineFormat& line);
};

// Two-wire RS-485 adapters often hear their own transmission: every request
// comes back ahead of the reply. A read's reply never begins with a copy of
// its request, so a read tells whether the line echoes.
enum class LocalEcho {
  Auto,  // found out from the reads, and remembered until ForgetLine
  On,    // a copy of each request is skipped whenever the bytes begin with one
  Off,   // whatever arrives is searched as it is
};

// What the link has thrown away or passed over since it was created.
struct LinkCounters {
  // Exchanges after which bytes still arrived before the next request.
  int64_t lateReplies = 0;
  int64_t lateBytes = 0;
  // Copies of the request skipped at the start of the bytes received.
  int64_t echoesSkipped = 0;
};

// One request, one wait, one look at what has arrived: no retry. Every wait
// ends at a deadline, the moment the request was handed to the port plus the
// operation's wait. After an exchange that found no valid reply the line is
// taken to be dirty, and the next request waits for the line guard. Modbus
// RTU frames carry no transaction number, so a reply that comes after the
// guard would be taken for the next request's: the guard has to outlast the
// lateness of real lines and of serial device servers, which buffer. While
// nothing at all has been heard since the failed request, it holds until the
// guard limit after the failed exchange's deadline; once bytes have been
// heard (the meter did answer, late or spoilt) it ends when the line has
// been quiet for the failed exchange's wait plus 3.5 character times, and
// never later than the limit. Whatever arrives meanwhile is discarded and
// counted as a late reply. Holds the request and receive buffers for the
// port's owner.
class Transaction {
 public:
  static constexpr int16_t kRxBufferSize = 300;
  static constexpr int16_t kNoReply = -1;
  static constexpr std::chrono::milliseconds kDefaultGuardLimit{2000};
  // A device server that holds a reply longer than this has lost it.
  static constexpr std::chrono::milliseconds kMaxGuardLimit{10'000};

  Transaction(SerialPort& port, Clock& clock)
      : port_(port), clock_(clock), createdAt_(clock.Now()) {}

  // Off (the console's fixed waits) unless set.
  void SetFastExchange(std::optional<FastExchange> policy) { fast_ = policy; }
  const std::optional<FastExchange>& Fast() const { return fast_; }

  // The longest the line guard holds after a failed exchange's deadline;
  // never less than that exchange's wait plus 3.5 character times.
  void SetGuardLimit(std::chrono::milliseconds limit) { guardLimit_ = limit; }
  std::chrono::milliseconds GuardLimit() const { return guardLimit_; }

  void SetLocalEcho(LocalEcho mode) { echoMode_ = mode; }
  LocalEcho EchoMode() const { return echoMode_; }
  // Whether the line echoes, as far as known: always under On and Off; under
  // Auto empty until a read has told.
  std::optional<bool> LineEchoes() const;
  // The port was opened again, perhaps onto another line: echo unknown, line clean.
  void ForgetLine();

  // Send, wait, collect; the index of the reply in RxBuffer, or kNoReply.
  int16_t RequestReply(const TxFrame& request, std::chrono::milliseconds wait,
                       const ExpectedReply& expected);

  // Searches the bytes of the latest exchange again, past any echo of its request.
  int16_t Search(const ExpectedReply& expected) const;

  // When the wait of the latest exchange ended, or was due to end.
  std::chrono::microseconds LastDeadline() const { return deadline_; }
  const LinkCounters& Counters() const { return counters_; }

  // Bytes heard outside any exchange's wait so far, by the line guard or
  // while the fast policy kept the line silent: a reader that sees this grow
  // between two reads cannot tell both replies answered their own requests.
  int64_t LateBytesHeard() const { return counters_.lateBytes; }

  // Every exchange by outcome: replies with their latency, failures by cause.
  // An exchange that found nothing is counted a late reply instead once its
  // bytes arrive during the next request's line guard.
  const ExchangeStatistics& Statistics() const { return statistics_; }
  // The counts and latencies start again from zero.
  void ResetStatistics() { statistics_ = ExchangeStatistics{}; }
  // Why the latest exchange found no valid reply; empty when it found one.
  const std::optional<FailureDiagnosis>& LastFailure() const { return lastFailure_; }

  // Told of every frame sent and received, and of late bytes discarded, on
  // the thread that runs the exchanges. It is called after the request has
  // been handed to the port and after the wait has ended, so it takes no time
  // from a wait; none by default. When it hears of what a wait received,
  // LastFailure already tells that exchange's verdict.
  void SetFrameObserver(FrameObserver observer) { observer_ = std::move(observer); }
  // When the transaction was created, on its clock: where a trace starts.
  std::chrono::microseconds CreatedAt() const { return createdAt_; }

  // The bytes copied by the latest exchange, any echo of the request included.
  std::span<const uint8_t> Received() const {
    return {rxBuffer_.data(), static_cast<std::size_t>(rxCount_)};
  }
  uint8_t RxByte(int16_t index) const { return rxBuffer_[static_cast<std::size_t>(index)]; }
  // Register `n` (0-based) of a function 3 reply found at `replyIndex`, high byte first.
  uint16_t ReplyRegister(int16_t replyIndex, int n) const;

  Clock& ClockSource() { return clock_; }

 private:
  void AwaitQuietLine();
  // Reads and counts late bytes; false when there were none.
  bool DiscardLate(bool& counted, std::vector<uint8_t>& late);
  // Counts the latest exchange and tells the observer what it received.
  void Conclude(const ExpectedReply& expected, int16_t found);
  // The latest exchange's reply, when it came, came late.
  void ReviseFailure(const std::vector<uint8_t>& late);
  void Observe(FrameDirection direction, std::span<const uint8_t> bytes, std::string verdict);
  void Send(const TxFrame& request);
  void Collect();
  void CollectUntilReply(const ExpectedReply& expected);
  // Appends whatever is waiting to RxBuffer, up to its size.
  void Gather();
  bool BeginsWithRequest() const;
  // A second reply that fits `expected` after the one found at `found`.
  bool AnotherReplyAfter(int16_t found, const ExpectedReply& expected) const;
  void LearnEcho(const ExpectedReply& expected);
  void KeepLineSilent();
  std::chrono::microseconds CharacterTime() const;

  SerialPort& port_;
  Clock& clock_;
  TxFrame txFrame_;
  std::array<uint8_t, kRxBufferSize> rxBuffer_{};
  int16_t rxCount_ = 0;

  std::optional<FastExchange> fast_;
  std::chrono::milliseconds guardLimit_ = kDefaultGuardLimit;
  LocalEcho echoMode_ = LocalEcho::Auto;
  std::optional<bool> echoSeen_;

  std::chrono::microseconds sentAt_{0};
  std::chrono::microseconds deadline_{0};
  // The latest moment a byte was seen arriving, or the request still leaving.
  std::optional<std::chrono::microseconds> lineBusyUntil_;
  // Set when the latest exchange found no valid reply.
  std::optional<std::chrono::milliseconds> dirtyAfterWait_;
  // When the latest request's last byte has left at the line's rate.
  std::chrono::microseconds requestOnLineUntil_{0};
  bool earlyCounted_ = false;
  // Whether the failed exchange received any byte in its wait.
  bool heardInWait_ = false;
  LinkCounters counters_;

  std::chrono::microseconds createdAt_;
  // When the first byte (fixed wait) or the whole reply (fast) was seen.
  std::optional<std::chrono::microseconds> replySeenAt_;
  ExpectedReply lastExpected_;
  std::optional<FailureDiagnosis> lastFailure_;
  ExchangeStatistics statistics_;
  FrameObserver observer_;
};

}  // namespace zt
