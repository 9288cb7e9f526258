// The fast exchange policy of the transaction, against the simulated meter in
// virtual time: it must end at the reply, never later than the console's
// fixed wait, never take more than the receive buffer holds, and keep the
// line silent between exchanges.
#include <gtest/gtest.h>

#include <chrono>

#include "link/modbus_rtu.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "sim/line_timing.h"
#include "support/virtual_meter_line.h"

namespace zt {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr milliseconds kReadWait{600};

int16_t ReadOne(Transaction& transaction, uint16_t registerNumber) {
  const TxFrame request = BuildReadRequest(1, registerNumber, 1);
  return transaction.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
}

class FastExchangeTest : public ::testing::Test, protected test::VirtualMeterLine {
 protected:
  void SetUp() override {
    meter.SetUpperLimit(4321);
    ASSERT_TRUE(OpenLine("9600,N,8,2"));
    line_ = port.CurrentLineFormat();
    transaction.SetFastExchange(FastExchange::ForLine(line_));
  }

  int16_t ReadUpperLimit() { return ReadOne(transaction, 0x0302); }

  // When the last byte of a one-register reply reaches the port, for a
  // request sent at `sent`.
  microseconds ReplyComplete(microseconds sent) const {
    return sent + sim::LineTime(line_, 8) + sim::kDefaultReplyLatency + sim::LineTime(line_, 7);
  }

  LineFormat line_;
};

TEST(FastExchangePolicy, CharacterTimeFollowsRateAndParity) {
  LineFormat nineSixHundred;
  nineSixHundred.baudRate = 9600;
  EXPECT_EQ(FastExchange::ForLine(nineSixHundred).characterTime, microseconds(1146));  // 11 bits

  LineFormat evenParity;
  evenParity.baudRate = 19200;
  evenParity.parity = kParityEven;
  const FastExchange fast = FastExchange::ForLine(evenParity);
  EXPECT_EQ(fast.characterTime, microseconds(625));  // 12 bits
  EXPECT_EQ(fast.Silence(), microseconds(2187));
}

TEST_F(FastExchangeTest, EndsOnceTheReplyHasArrivedInPieces) {
  const int16_t at = ReadUpperLimit();

  ASSERT_EQ(at, 0);
  EXPECT_EQ(transaction.ReplyRegister(at, 0), 4321);
  // The reply trickles in one character at a time; the exchange wakes at
  // each arrival and ends with the last byte.
  EXPECT_EQ(clock.Now(), ReplyComplete(microseconds{0}));
  EXPECT_EQ(transaction.Received().size(), 7U);
}

TEST_F(FastExchangeTest, ASilentMeterEndsTheExchangeAtTheFixedWait) {
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  EXPECT_EQ(clock.Now(), milliseconds(600));
}

TEST_F(FastExchangeTest, AGarbledReplyDoesNotEndTheWaitEarly) {
  sim::FaultConfig badCrc;
  badCrc.flipCrcBit = true;
  port.SetFaults(badCrc);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  EXPECT_EQ(clock.Now(), milliseconds(600));
  EXPECT_EQ(transaction.Received().size(), 7U);
}

TEST_F(FastExchangeTest, AReplyAfterTheDeadlineIsDiscardedByTheNextRequest) {
  sim::FaultConfig late;
  late.extraDelay = milliseconds(700);
  late.appliesTo = sim::TouchingRegisters(0x0302, 0x0302);
  port.SetFaults(late);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  clock.Advance(milliseconds(200));  // the late reply is now waiting
  const int16_t at = ReadOne(transaction, 0x0304);

  ASSERT_EQ(at, 0);
  EXPECT_EQ(transaction.ReplyRegister(at, 0), meter.LowerLimit());
  EXPECT_EQ(transaction.Counters().lateReplies, 1);
  EXPECT_EQ(transaction.Counters().lateBytes, 7);
}

TEST_F(FastExchangeTest, FindsTheReplyBehindNoise) {
  sim::FaultConfig noise;
  noise.noiseBytes = 5;
  port.SetFaults(noise);

  const int16_t at = ReadUpperLimit();

  ASSERT_EQ(at, 5);
  EXPECT_EQ(transaction.ReplyRegister(at, 0), 4321);
  EXPECT_LT(clock.Now(), milliseconds(600));
}

TEST_F(FastExchangeTest, ABurstFillsTheBufferAndEndsTheExchangeWithoutAReply) {
  sim::FaultConfig burst;
  burst.burst = true;
  port.SetFaults(burst);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  EXPECT_EQ(transaction.Received().size(), static_cast<std::size_t>(Transaction::kRxBufferSize));
  EXPECT_LT(clock.Now(), milliseconds(600));
}

TEST_F(FastExchangeTest, LeavesTheLineSilentBetweenExchanges) {
  ASSERT_EQ(ReadUpperLimit(), 0);
  const microseconds firstEnded = clock.Now();
  ASSERT_EQ(ReadUpperLimit(), 0);

  ASSERT_EQ(port.Written().size(), 2U);
  // Measured from the reply's last byte, to the microsecond.
  EXPECT_EQ(port.Written()[1].at - firstEnded, transaction.Fast()->Silence());
}

TEST_F(FastExchangeTest, SilenceAfterAConfirmedWriteStartsAtItsEcho) {
  const TxFrame write = BuildWriteSingleRequest(1, 0x0302, 77);
  ASSERT_EQ(transaction.RequestReply(write, milliseconds(300), ExpectedReply::EchoOf(write)), 0);
  // The echo begins only once the request has left, so the write's own line
  // time lies inside the exchange, and the silence starts at the echo's end.
  const microseconds echoed =
      sim::LineTime(line_, 8) + sim::kDefaultReplyLatency + sim::LineTime(line_, 8);
  EXPECT_EQ(clock.Now(), echoed);

  const int16_t at = ReadUpperLimit();
  ASSERT_EQ(at, 0);
  EXPECT_EQ(transaction.ReplyRegister(at, 0), 77);

  ASSERT_EQ(port.Written().size(), 2U);
  EXPECT_EQ(port.Written()[1].at, echoed + transaction.Fast()->Silence());
  EXPECT_EQ(transaction.Counters().lateReplies, 0);
  EXPECT_EQ(transaction.Counters().lateBytes, 0);
}

TEST_F(FastExchangeTest, ConfirmedWritesEndAtTheEcho) {
  const LinkSettings settings;
  MeterSession session(transaction, settings);

  EXPECT_TRUE(session.WritePtRatio(120));
  EXPECT_TRUE(session.WriteWiringMode(3));

  EXPECT_EQ(meter.PtRatio(), 120);
  EXPECT_EQ(meter.Wiring(), 3);
  // A read that finds out whether the line echoes, then two 300 ms waits
  // under the fixed policy.
  EXPECT_LT(clock.Now(), milliseconds(150));
}

TEST_F(FastExchangeTest, ClearingThePolicyRestoresTheFixedWait) {
  transaction.SetFastExchange(std::nullopt);

  ASSERT_EQ(ReadUpperLimit(), 0);
  EXPECT_EQ(clock.Now(), milliseconds(600));
}

}  // namespace
}  // namespace zt
