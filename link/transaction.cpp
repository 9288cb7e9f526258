#include "link/transaction.h"

#include <algorithm>
#include <vector>

namespace zt {

int16_t Transaction::RequestReply(const TxFrame& request, Wait wait,
                                  const ExpectedReply& expected) {
  Send(request);
  WaitAfterSending(wait);
  Collect();
  return Search(expected);
}

void Transaction::RequestOnly(const TxFrame& request) { Send(request); }

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

}  // namespace zt
