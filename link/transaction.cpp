#include "link/transaction.h"

#include <algorithm>
#include <vector>

namespace zt {

FastExchange FastExchange::ForLine(const LineFormat& line) {
  if (line.baudRate <= 0) {
    return {};
  }
  const int64_t bits = line.BitsPerCharacter();
  return {std::chrono::microseconds((bits * 1'000'000 + line.baudRate - 1) / line.baudRate)};
}

int16_t Transaction::RequestReply(const TxFrame& request, Wait wait,
                                  const ExpectedReply& expected) {
  if (fast_) {
    return RequestReplyFast(request, wait, expected);
  }
  Send(request);
  WaitAfterSending(wait);
  Collect();
  return Search(expected);
}

void Transaction::RequestOnly(const TxFrame& request) {
  if (!fast_) {
    Send(request);
    return;
  }
  KeepLineSilent();
  Send(request);
  // Nothing marks the request's last byte leaving the port, so its line
  // time is added to the silence.
  MarkExchangeEnd(fast_->characterTime * request.length);
}

int16_t Transaction::Search(const ExpectedReply& expected) const {
  return FindReplyFrame(rxBuffer_.data(), rxCount_, expected.function, expected.address,
                        expected.length);
}

uint16_t Transaction::ReplyRegister(int16_t replyIndex, int n) const {
  const auto at = static_cast<std::size_t>(replyIndex + 3 + 2 * n);
  return static_cast<uint16_t>((rxBuffer_[at] << 8) | rxBuffer_[at + 1]);
}

void Transaction::Send(const TxFrame& request) {
  txFrame_ = request;
  port_.DiscardPendingInput();
  SendFrame(port_, txFrame_.data(), txFrame_.length);
}

void Transaction::WaitAfterSending(Wait wait) {
  switch (wait.kind) {
    case WaitKind::Sleep:
      clock_.Sleep(wait.milliseconds);
      break;
    case WaitKind::BusyWait:
      clock_.BusyWait(wait.milliseconds);
      break;
    case WaitKind::None:
      break;
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

int16_t Transaction::RequestReplyFast(const TxFrame& request, Wait wait,
                                      const ExpectedReply& expected) {
  KeepLineSilent();
  Send(request);
  rxCount_ = 0;
  const uint32_t start = clock_.TickCount();
  int16_t found = kNoReply;
  for (;;) {
    Gather();
    found = Search(expected);
    // A full buffer can take no more bytes, so waiting longer cannot help.
    if (found != kNoReply || rxCount_ == kRxBufferSize) {
      break;
    }
    const uint32_t elapsed = clock_.TickCount() - start;
    if (elapsed >= wait.milliseconds) {
      break;
    }
    clock_.Sleep(std::min(kFastPollStepMs, wait.milliseconds - elapsed));
  }
  MarkExchangeEnd(std::chrono::microseconds{0});
  return found;
}

void Transaction::Gather() {
  if (port_.CountWaiting() <= 0) {
    return;
  }
  // Unlike the single look of the fixed wait, bytes that arrive between
  // counting and reading are kept: they may be the rest of the reply.
  const std::vector<uint8_t> read = port_.ReadWaiting();
  const auto room = static_cast<std::size_t>(kRxBufferSize - rxCount_);
  const std::size_t copied = std::min(read.size(), room);
  std::copy_n(read.begin(), copied, rxBuffer_.begin() + rxCount_);
  rxCount_ = static_cast<int16_t>(rxCount_ + static_cast<int16_t>(copied));
}

void Transaction::KeepLineSilent() {
  if (!lastExchangeEndTick_) {
    return;
  }
  const uint32_t elapsed = clock_.TickCount() - *lastExchangeEndTick_;
  // A tick count that has moved on by n stands for as little as n - 1 ms.
  if (elapsed <= silenceMs_) {
    clock_.Sleep(silenceMs_ + 1 - elapsed);
  }
}

void Transaction::MarkExchangeEnd(std::chrono::microseconds stillBusy) {
  lastExchangeEndTick_ = clock_.TickCount();
  const std::chrono::microseconds quiet = stillBusy + fast_->Silence();
  silenceMs_ = static_cast<uint32_t>((quiet.count() + 999) / 1000);
}

}  // namespace zt
