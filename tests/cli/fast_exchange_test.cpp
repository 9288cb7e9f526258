// The fast exchange policy of the transaction, against the simulated meter in
// virtual time: it must end at the reply, never later than the console's
// fixed wait, never take more than the receive buffer holds, and keep the
// line silent between exchanges.
#include <gtest/gtest.h>

#include <chrono>

#include "link/clock.h"
#include "link/modbus_rtu.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "sim/line_timing.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"

namespace zt {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr milliseconds kReadWait{600};

int16_t ReadOne(Transaction& link, uint16_t registerNumber) {
  const TxFrame request = BuildReadRequest(1, registerNumber, 1);
  return link.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
}

class FastExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    meter_.SetUpperLimit(4321);
    port_.SelectPort(1);
    ASSERT_TRUE(port_.SetLineFormat("9600,N,8,2"));
    ASSERT_TRUE(port_.Open());
    line_ = port_.CurrentLineFormat();
    link_.SetFastExchange(FastExchange::ForLine(line_));
  }

  int16_t ReadUpperLimit() { return ReadOne(link_, 0x0302); }

  // When the last byte of a one-register reply reaches the port, for a
  // request sent at `sent`.
  microseconds ReplyComplete(microseconds sent) const {
    return sent + sim::LineTime(line_, 8) + sim::kDefaultReplyLatency + sim::LineTime(line_, 7);
  }

  VirtualClock clock_;
  sim::MeterModel meter_;
  sim::SimulatedPort port_{clock_, meter_};
  Transaction link_{port_, clock_};
  LineFormat line_;
};

TEST(FastExchangePolicy, CharacterTimeFollowsRateAndParity) {
  LineFormat nineSixHundred;
  nineSixHundred.baudRate = 9600;
  EXPECT_EQ(FastExchange::ForLine(nineSixHundred).characterTime, microseconds(1146));  // 11 bits

  LineFormat evenParity;
  evenParity.baudRate = 19200;
  evenParity.parity = Parity::Even;
  const FastExchange fast = FastExchange::ForLine(evenParity);
  EXPECT_EQ(fast.characterTime, microseconds(625));  // 12 bits
  EXPECT_EQ(fast.Silence(), microseconds(2187));
}

TEST_F(FastExchangeTest, EndsOnceTheReplyHasArrivedInPieces) {
  const int16_t at = ReadUpperLimit();

  ASSERT_EQ(at, 0);
  EXPECT_EQ(link_.ReplyRegister(at, 0), 4321);
  // The reply trickles in one character at a time; the exchange wakes at
  // each arrival and ends with the last byte.
  EXPECT_EQ(clock_.Now(), ReplyComplete(microseconds{0}));
  EXPECT_EQ(link_.Received().size(), 7U);
}

TEST_F(FastExchangeTest, ASilentMeterEndsTheExchangeAtTheFixedWait) {
  sim::FaultConfig silent;
  silent.silent = true;
  port_.SetFaults(silent);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  EXPECT_EQ(clock_.Now(), milliseconds(600));
}

TEST_F(FastExchangeTest, AGarbledReplyDoesNotEndTheWaitEarly) {
  sim::FaultConfig badCrc;
  badCrc.flipCrcBit = true;
  port_.SetFaults(badCrc);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  EXPECT_EQ(clock_.Now(), milliseconds(600));
  EXPECT_EQ(link_.Received().size(), 7U);
}

TEST_F(FastExchangeTest, AReplyAfterTheDeadlineIsDiscardedByTheNextRequest) {
  sim::FaultConfig late;
  late.extraDelay = milliseconds(700);
  late.appliesTo = sim::TouchingRegisters(0x0302, 0x0302);
  port_.SetFaults(late);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  clock_.Advance(milliseconds(200));  // the late reply is now waiting
  const int16_t at = ReadOne(link_, 0x0304);

  ASSERT_EQ(at, 0);
  EXPECT_EQ(link_.ReplyRegister(at, 0), meter_.LowerLimit());
  EXPECT_EQ(link_.Counters().lateReplies, 1);
  EXPECT_EQ(link_.Counters().lateBytes, 7);
}

TEST_F(FastExchangeTest, FindsTheReplyBehindNoise) {
  sim::FaultConfig noise;
  noise.noiseBytes = 5;
  port_.SetFaults(noise);

  const int16_t at = ReadUpperLimit();

  ASSERT_EQ(at, 5);
  EXPECT_EQ(link_.ReplyRegister(at, 0), 4321);
  EXPECT_LT(clock_.Now(), milliseconds(600));
}

TEST_F(FastExchangeTest, ABurstFillsTheBufferAndEndsTheExchangeWithoutAReply) {
  sim::FaultConfig burst;
  burst.burst = true;
  port_.SetFaults(burst);

  EXPECT_EQ(ReadUpperLimit(), Transaction::kNoReply);
  EXPECT_EQ(link_.Received().size(), static_cast<std::size_t>(Transaction::kRxBufferSize));
  EXPECT_LT(clock_.Now(), milliseconds(600));
}

TEST_F(FastExchangeTest, LeavesTheLineSilentBetweenExchanges) {
  ASSERT_EQ(ReadUpperLimit(), 0);
  const microseconds firstEnded = clock_.Now();
  ASSERT_EQ(ReadUpperLimit(), 0);

  ASSERT_EQ(port_.Written().size(), 2U);
  // Measured from the reply's last byte, to the microsecond.
  EXPECT_EQ(port_.Written()[1].at - firstEnded, link_.Fast()->Silence());
}

TEST_F(FastExchangeTest, SilenceAfterAWriteWithoutReplyCountsTheRequestsOwnLineTime) {
  link_.RequestOnly(BuildWriteSingleRequest(1, 0x0302, 77));
  const microseconds sent = clock_.Now();
  // The write's echo was still on its way when the read went out; it lands
  // ahead of the read's reply and is passed over by the search.
  const int16_t at = ReadUpperLimit();
  ASSERT_EQ(at, 8);
  EXPECT_EQ(link_.ReplyRegister(at, 0), 77);

  ASSERT_EQ(port_.Written().size(), 2U);
  EXPECT_EQ(port_.Written()[1].at - sent,
            link_.Fast()->characterTime * 8 + link_.Fast()->Silence());
}

TEST_F(FastExchangeTest, ConfirmedWritesEndAtTheEcho) {
  const LinkSettings settings;
  MeterSession session(link_, settings);

  EXPECT_TRUE(session.WritePtRatio(120));
  EXPECT_TRUE(session.WriteWiringMode(3));

  EXPECT_EQ(meter_.PtRatio(), 120);
  EXPECT_EQ(meter_.Wiring(), 3);
  // A read that finds out whether the line echoes, then two 300 ms waits
  // under the fixed policy.
  EXPECT_LT(clock_.Now(), milliseconds(150));
}

TEST_F(FastExchangeTest, ClearingThePolicyRestoresTheFixedWait) {
  link_.SetFastExchange(std::nullopt);

  ASSERT_EQ(ReadUpperLimit(), 0);
  EXPECT_EQ(clock_.Now(), milliseconds(600));
}

}  // namespace
}  // namespace zt
