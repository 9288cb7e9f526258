#include "link/transaction.h"

#include <algorithm>
#include <vector>

namespace zt {

namespace {

using std::chrono::microseconds;

// Without a fast policy the transaction is not told the line's rate; one
// character of the slowest line the meter takes (1200 bit/s, 12 bits with
// parity) bounds the 3.5-character gap of the guard from above.
constexpr microseconds kSlowestCharacterTime{10'000};

}  // namespace

FastExchange FastExchange::ForLine(const LineFormat& line) {
  if (line.baudRate <= 0) {
    return {};
  }
  const int64_t bits = line.BitsPerCharacter();
  return {microseconds((bits * 1'000'000 + line.baudRate - 1) / line.baudRate)};
}

std::optional<bool> Transaction::LineEchoes() const {
  switch (echoMode_) {
    case LocalEcho::On:
      return true;
    case LocalEcho::Off:
      return false;
    case LocalEcho::Auto:
      break;
  }
  return echoSeen_;
}

void Transaction::ForgetLine() {
  echoSeen_.reset();
  dirtyAfterWait_.reset();
  lineBusyUntil_.reset();
}

int16_t Transaction::RequestReply(const TxFrame& request, std::chrono::milliseconds wait,
                                  const ExpectedReply& expected) {
  AwaitQuietLine();
  KeepLineSilent();
  Send(request);
  deadline_ = sentAt_ + wait;
  replySeenAt_.reset();
  if (fast_) {
    CollectUntilReply(expected);
  } else {
    // Only the first byte's arrival can be seen without taking bytes before
    // the deadline; on a line that echoes it is the echo's, so none is kept.
    if (!LineEchoes().value_or(false) && port_.WaitForBytes(deadline_ - clock_.Now())) {
      replySeenAt_ = clock_.Now();
    }
    clock_.SleepUntil(deadline_);
    Collect();
  }
  LearnEcho(expected);
  if (LineEchoes().value_or(false) && BeginsWithRequest()) {
    ++counters_.echoesSkipped;
  }
  int16_t found = Search(expected);
  if (found != kNoReply && !fast_ && AnotherReplyAfter(found, expected)) {
    // Two replies that both fit: one answers an earlier request, and no byte
    // of either tells which.
    ++counters_.lateReplies;
    found = kNoReply;
  }
  Conclude(expected, found);
  // An exception reply answers this very request, so nothing more is coming.
  const bool answered =
      found != kNoReply ||
      FindReplyFrame(rxBuffer_.data(), rxCount_, static_cast<uint8_t>(expected.function | kExceptionFlag),
                     expected.address, kExceptionReplyLength) != kNoReply;
  if (answered) {
    dirtyAfterWait_.reset();
  } else {
    dirtyAfterWait_ = wait;
    heardInWait_ = rxCount_ > 0;
  }
  return found;
}

void Transaction::Conclude(const ExpectedReply& expected, int16_t found) {
  lastExpected_ = expected;
  if (found != kNoReply) {
    lastFailure_.reset();
    if (replySeenAt_) {
      statistics_.RecordReply(*replySeenAt_ - sentAt_);
    }
    if (observer_) {
      Observe(FrameDirection::Received, Received(),
              LineEchoes().value_or(false) && BeginsWithRequest() ? "reply after the echo"
                                                                   : "reply");
    }
    return;
  }
  lastFailure_ = ClassifyFailure(txFrame_, expected, Received());
  statistics_.RecordFailure(*lastFailure_);
  if (observer_) {
    Observe(FrameDirection::Received, Received(), lastFailure_->Words());
  }
}

void Transaction::ReviseFailure(const std::vector<uint8_t>& late) {
  if (late.empty() || !lastFailure_) {
    return;
  }
  const FailureDiagnosis revised = ClassifyFailure(txFrame_, lastExpected_, Received(), late);
  statistics_.Reclassify(*lastFailure_, revised);
  lastFailure_ = revised;
}

void Transaction::Observe(FrameDirection direction, std::span<const uint8_t> bytes,
                          std::string verdict) {
  FrameRecord record;
  record.time = clock_.Now();
  record.direction = direction;
  record.bytes.assign(bytes.begin(), bytes.end());
  record.verdict = std::move(verdict);
  observer_(record);
}

int16_t Transaction::Search(const ExpectedReply& expected) const {
  const int16_t skip =
      LineEchoes().value_or(false) && BeginsWithRequest() ? txFrame_.length : int16_t{0};
  const int16_t found =
      FindExpectedReply(rxBuffer_.data() + skip, static_cast<int16_t>(rxCount_ - skip), expected);
  return found == kNoReply ? kNoReply : static_cast<int16_t>(found + skip);
}

uint16_t Transaction::ReplyRegister(int16_t replyIndex, int n) const {
  const auto at = static_cast<std::size_t>(replyIndex + 3 + 2 * n);
  return static_cast<uint16_t>((rxBuffer_[at] << 8) | rxBuffer_[at + 1]);
}

void Transaction::AwaitQuietLine() {
  if (!dirtyAfterWait_) {
    return;
  }
  const microseconds wait = *dirtyAfterWait_;
  dirtyAfterWait_.reset();
  const microseconds quiet = wait + CharacterTime() * 7 / 2;
  const microseconds capAt = deadline_ + std::max<microseconds>(guardLimit_, quiet);
  // A meter that has not made a sound may still be about to answer; one
  // that has answered, late or spoilt, sends nothing more for this request.
  bool heard = heardInWait_;
  microseconds quietFrom = std::max(deadline_, lineBusyUntil_.value_or(deadline_));
  bool counted = false;
  std::vector<uint8_t> late;
  if (port_.CountWaiting() > 0) {
    DiscardLate(counted, late);
    quietFrom = clock_.Now();
    heard = true;
  }
  for (;;) {
    const microseconds now = clock_.Now();
    const microseconds end = heard ? std::min(quietFrom + quiet, capAt) : capAt;
    if (now >= end) {
      ReviseFailure(late);
      return;
    }
    // A port that has nothing to give must not turn this into a spin.
    if (port_.WaitForBytes(end - now) && DiscardLate(counted, late)) {
      quietFrom = clock_.Now();
      heard = true;
    } else {
      clock_.SleepUntil(end);
    }
  }
}

bool Transaction::DiscardLate(bool& counted, std::vector<uint8_t>& late) {
  std::vector<uint8_t> read = port_.ReadWaiting();
  if (read.empty()) {
    return false;
  }
  if (observer_) {
    Observe(FrameDirection::Late, read, "late reply, discarded");
  }
  late.insert(late.end(), read.begin(), read.end());
  lineBusyUntil_ = clock_.Now();
  counters_.lateBytes += static_cast<int64_t>(read.size());
  if (!counted) {
    ++counters_.lateReplies;
    counted = true;
  }
  return true;
}

void Transaction::Send(const TxFrame& request) {
  txFrame_ = request;
  port_.DiscardPendingInput();
  rxCount_ = 0;
  sentAt_ = clock_.Now();
  SendFrame(port_, txFrame_.data(), txFrame_.length);
  // Nothing marks the request's last byte leaving the port, so its line time
  // is counted as busy.
  lineBusyUntil_ = sentAt_ + CharacterTime() * request.length;
  requestOnLineUntil_ = *lineBusyUntil_;
  earlyCounted_ = false;
  if (observer_) {
    FrameRecord record;
    record.time = sentAt_;
    record.direction = FrameDirection::Sent;
    record.bytes.assign(txFrame_.bytes.begin(), txFrame_.bytes.begin() + txFrame_.length);
    record.verdict = "request";
    observer_(record);
  }
}

void Transaction::Collect() {
  const int16_t counted = port_.CountWaiting();
  const std::vector<uint8_t> read = port_.ReadWaiting();
  // Bytes that arrived between counting and reading are not copied and are
  // lost; more than the buffer holds is cut to its first kRxBufferSize bytes.
  const auto copied = std::min<std::size_t>(
      {static_cast<std::size_t>(std::max<int16_t>(counted, 0)), read.size(), rxBuffer_.size()});
  std::copy_n(read.begin(), copied, rxBuffer_.begin());
  rxCount_ = static_cast<int16_t>(copied);
}

void Transaction::CollectUntilReply(const ExpectedReply& expected) {
  for (;;) {
    Gather();
    if (Search(expected) != kNoReply) {
      replySeenAt_ = clock_.Now();
      return;
    }
    // A full buffer can take no more bytes, so waiting longer cannot help.
    if (rxCount_ == kRxBufferSize) {
      return;
    }
    const microseconds now = clock_.Now();
    if (now >= deadline_) {
      return;
    }
    if (!port_.WaitForBytes(deadline_ - now)) {
      clock_.SleepUntil(deadline_);
    }
  }
}

void Transaction::Gather() {
  if (port_.CountWaiting() <= 0) {
    return;
  }
  // Unlike the single look of the fixed wait, bytes that arrive between
  // counting and reading are kept: they may be the rest of the reply.
  const std::vector<uint8_t> read = port_.ReadWaiting();
  if (read.empty()) {
    return;
  }
  const microseconds now = clock_.Now();
  // Bytes that come while the request is still leaving cannot answer it: on a
  // line found not to echo they are a reply to some earlier request that
  // came after every guard. A line told Off is searched as it is.
  if (echoMode_ == LocalEcho::Auto && echoSeen_ == false && now < requestOnLineUntil_) {
    if (observer_) {
      Observe(FrameDirection::Late, read, "before the request had left, discarded");
    }
    counters_.lateBytes += static_cast<int64_t>(read.size());
    if (!earlyCounted_) {
      ++counters_.lateReplies;
      earlyCounted_ = true;
    }
    lineBusyUntil_ = now;
    return;
  }
  lineBusyUntil_ = now;
  const auto room = static_cast<std::size_t>(kRxBufferSize - rxCount_);
  const std::size_t copied = std::min(read.size(), room);
  std::copy_n(read.begin(), copied, rxBuffer_.begin() + rxCount_);
  rxCount_ = static_cast<int16_t>(rxCount_ + static_cast<int16_t>(copied));
}

bool Transaction::BeginsWithRequest() const {
  return txFrame_.length > 0 && rxCount_ >= txFrame_.length &&
         std::equal(txFrame_.bytes.begin(), txFrame_.bytes.begin() + txFrame_.length,
                    rxBuffer_.begin());
}

void Transaction::LearnEcho(const ExpectedReply& expected) {
  if (echoMode_ != LocalEcho::Auto || echoSeen_ ||
      txFrame_.bytes[1] != kFunctionReadHoldingRegisters) {
    return;
  }
  // A read's reply never equals its request, so a copy here is the adapter's.
  if (BeginsWithRequest()) {
    echoSeen_ = true;
  } else if (FindExpectedReply(rxBuffer_.data(), rxCount_, expected) != kNoReply) {
    echoSeen_ = false;
  }
}

void Transaction::KeepLineSilent() {
  if (!fast_ || !lineBusyUntil_) {
    return;
  }
  // Bytes after a reply that was found are no part of it: they are counted
  // late, and the silence starts again after them, within the guard limit.
  const microseconds capAt = clock_.Now() + guardLimit_;
  bool counted = false;
  std::vector<uint8_t> late;
  for (;;) {
    clock_.SleepUntil(std::min(*lineBusyUntil_ + fast_->Silence(), capAt));
    if (clock_.Now() >= capAt || port_.CountWaiting() <= 0 || !DiscardLate(counted, late)) {
      return;
    }
  }
}

bool Transaction::AnotherReplyAfter(int16_t found, const ExpectedReply& expected) const {
  const auto next = static_cast<int16_t>(found + expected.length);
  return FindExpectedReply(rxBuffer_.data() + next, static_cast<int16_t>(rxCount_ - next),
                           expected) != kNoReply;
}

microseconds Transaction::CharacterTime() const {
  return fast_ ? fast_->characterTime : kSlowestCharacterTime;
}

}  // namespace zt
