// The console's request/reply transaction with its fixed waits, against the
// simulated meter in virtual time: what the console finds in its receive
// buffer when the line misbehaves.
#include "link/transaction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "link/modbus_rtu.h"
#include "support/golden_frames.h"
#include "support/hex.h"
#include "support/virtual_meter_line.h"

namespace zt {
namespace {

using sim::FaultConfig;
using sim::SimulatedPort;
using sim::TouchingRegisters;
using std::chrono::milliseconds;
using test::Hex;

constexpr milliseconds kReadWait{600};

class TransactionOverSim : public ::testing::Test, protected test::VirtualMeterLine {
 protected:
  void SetUp() override {
    meter.SetDecimalPoint(2);
    meter.SetUpperLimit(4321);
    Reopen("9600,N,8,2");
  }

  void Reopen(std::string_view settings) { ASSERT_TRUE(OpenLine(settings)) << settings; }

  int16_t Read(uint16_t registerNumber, uint8_t address = 1) {
    const TxFrame request = BuildReadRequest(address, registerNumber, 1);
    return transaction.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
  }

};

TEST_F(TransactionOverSim, SendsTheRequestFindsTheReplyAndDecodesItsValue) {
  const int16_t at = Read(0x0302);
  ASSERT_EQ(at, 0);
  EXPECT_EQ(transaction.ReplyRegister(at, 0), 4321);
  EXPECT_EQ(clock.Now(), milliseconds(600));
  EXPECT_EQ(Frames(), (std::vector<std::string>{test::At(0, test::frame::kReadUpperLimit)}));
}

TEST_F(TransactionOverSim, ALateReplyIsNeverTakenForTheNextOne) {
  FaultConfig late;
  late.extraDelay = milliseconds(700);
  late.appliesTo = TouchingRegisters(0x0006, 0x0006);
  port.SetFaults(late);

  EXPECT_EQ(Read(0x0006), Transaction::kNoReply);
  EXPECT_TRUE(transaction.Received().empty());
  // The poll's pause: the late decimal point arrives meanwhile.
  clock.Sleep(milliseconds(300));
  ASSERT_EQ(port.CountWaiting(), 7);

  const int16_t at = Read(0x0302);
  ASSERT_EQ(at, 0);
  EXPECT_EQ(transaction.ReplyRegister(at, 0), 4321);
  EXPECT_EQ(transaction.Received().size(), 7U) << Hex(transaction.Received());
}

TEST_F(TransactionOverSim, StrayBytesBeforeARequestAreDiscarded) {
  port.InjectIncoming(clock.Now(), {0x01, 0x03, 0x02, 0x00});
  clock.Advance(milliseconds(1));
  const int16_t at = Read(0x0006);
  EXPECT_EQ(at, 0);
  EXPECT_EQ(Hex(transaction.Received()), "01 03 02 00 02 39 85");
}

struct BurstRow {
  const char* name;
  std::size_t burst;
  std::size_t copied;
  int16_t found;
};

class BurstBeforeReply : public TransactionOverSim,
                         public ::testing::WithParamInterface<BurstRow> {};

TEST_P(BurstBeforeReply, OnlyTheFirst300BytesAreSearched) {
  // At 19200 bit/s even 320 bytes of burst and the reply fit in the wait.
  meter.SetLineBaudIndex(4);
  Reopen("19200,N,8,2");
  FaultConfig burst;
  burst.burst = true;
  burst.burstBytes = GetParam().burst;
  port.SetFaults(burst);

  EXPECT_EQ(Read(0x0006), GetParam().found);
  EXPECT_EQ(transaction.Received().size(), GetParam().copied);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BurstBeforeReply,
    ::testing::Values(BurstRow{"Burst200", 200, 207, 200},
                      // The reply's last byte is byte 300.
                      BurstRow{"ReplyEndsOnByte300", 293, 300, 293},
                      BurstRow{"ReplyCutAtByte300", 294, 300, Transaction::kNoReply},
                      BurstRow{"DefaultBurst", FaultConfig::kDefaultBurstBytes, 300,
                               Transaction::kNoReply}),
    [](const auto& row) { return std::string(row.param.name); });

class NoiseBeforeReply : public TransactionOverSim,
                         public ::testing::WithParamInterface<std::size_t> {};

TEST_P(NoiseBeforeReply, FindsTheReplyRightAfterTheNoise) {
  FaultConfig noise;
  noise.noiseBytes = GetParam();
  port.SetFaults(noise);
  const int16_t at = Read(0x0302);
  ASSERT_EQ(at, static_cast<int16_t>(GetParam()));
  EXPECT_EQ(transaction.ReplyRegister(at, 0), 4321);
}

INSTANTIATE_TEST_SUITE_P(Counts, NoiseBeforeReply, ::testing::Values(1, 3, 50),
                         [](const auto& row) { return std::to_string(row.param) + "Bytes"; });

struct NoReplyRow {
  std::string name;
  std::function<void(SimulatedPort&)> spoil;
};

class NoReply : public TransactionOverSim, public ::testing::WithParamInterface<NoReplyRow> {};

TEST_P(NoReply, GivesMinusOne) {
  GetParam().spoil(port);
  EXPECT_EQ(Read(0x0006), Transaction::kNoReply);
}

FaultConfig Fault(void (*set)(FaultConfig&)) {
  FaultConfig faults;
  set(faults);
  return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Causes, NoReply,
    ::testing::Values(
        NoReplyRow{"ClosedPort", [](SimulatedPort& p) { p.Close(); }},
        NoReplyRow{"VanishedPort", [](SimulatedPort& p) { p.Vanish(); }},
        NoReplyRow{"OtherRate", [](SimulatedPort& p) { p.SetLineFormat("19200,N,8,2"); }},
        NoReplyRow{"OtherParity", [](SimulatedPort& p) { p.SetLineFormat("9600,O,8,2"); }},
        NoReplyRow{"OneStopBit", [](SimulatedPort& p) { p.SetLineFormat("9600,N,8,1"); }},
        NoReplyRow{
            "Silent",
            [](SimulatedPort& p) { p.SetFaults(Fault([](FaultConfig& f) { f.silent = true; })); }},
        NoReplyRow{"BadCrc",
                   [](SimulatedPort& p) {
                     p.SetFaults(Fault([](FaultConfig& f) { f.flipCrcBit = true; }));
                   }},
        NoReplyRow{"ForeignAddress",
                   [](SimulatedPort& p) {
                     p.SetFaults(Fault([](FaultConfig& f) { f.foreignAddress = true; }));
                   }},
        NoReplyRow{"Exception",
                   [](SimulatedPort& p) {
                     p.SetFaults(Fault([](FaultConfig& f) { f.exceptionReply = true; }));
                   }},
        NoReplyRow{"Truncated",
                   [](SimulatedPort& p) {
                     p.SetFaults(Fault([](FaultConfig& f) { f.truncateBytes = 1; }));
                   }},
        NoReplyRow{"LaterThanTheWait",
                   [](SimulatedPort& p) {
                     p.SetFaults(Fault([](FaultConfig& f) { f.extraDelay = milliseconds(580); }));
                   }}),
    [](const auto& row) { return row.param.name; });

TEST_F(TransactionOverSim, BaudChangeIsConfirmedAtTheOldRateAndServedAtTheNew) {
  const TxFrame write = BuildWriteSingleRequest(1, 0x0008, 4);
  const int16_t echo =
      transaction.RequestReply(write, milliseconds(300), ExpectedReply::EchoOf(write));
  EXPECT_EQ(echo, 0);
  EXPECT_EQ(Read(0x0006), Transaction::kNoReply);
  Reopen("19200,N,8,2");
  EXPECT_EQ(Read(0x0006), 0);
}

TEST_F(TransactionOverSim, AfterAnAddressChangeOnlyTheNewAddressIsAnswered) {
  // The meter confirms the change with an echo from its old address, within
  // the write's fixed 300 ms wait.
  const TxFrame write = BuildWriteSingleRequest(1, 0x0300, 5);
  EXPECT_EQ(transaction.RequestReply(write, milliseconds(300), ExpectedReply::EchoOf(write)), 0);
  EXPECT_EQ(Read(0x0006, 1), Transaction::kNoReply);
  EXPECT_EQ(Read(0x0006, 5), 0);

  const std::vector<std::string> frames = Frames();
  ASSERT_EQ(frames.size(), 3U);
  EXPECT_EQ(frames[0], test::At(0, test::frame::kWriteAddress5));
  EXPECT_EQ(frames[1], test::At(300, test::frame::kReadDecimalPoint));
  // The unanswered read leaves the line dirty: the guard holds to its limit.
  EXPECT_EQ(frames[2], test::At(900 + 2000, "05 03 00 06 00 01 65 8F"));
  EXPECT_EQ(transaction.Counters().lateReplies, 0);
}

TEST_F(TransactionOverSim, SlowestLineStillAnswersWithinTheClockReadsWait) {
  // 1200 bit/s with parity: the 8-byte request and the 11-byte reply take
  // 190 ms of line time, plus the latency, inside the 300 ms sleep.
  meter.SetLineBaudIndex(0);
  meter.SetLineParity(kParityEven);
  Reopen("1200,E,8,2");
  const TxFrame request = BuildReadRequest(1, 0x0110, 3);
  const int16_t at =
      transaction.RequestReply(request, milliseconds(300), ExpectedReply::ReadOf(request));
  EXPECT_EQ(at, 0);
}

}  // namespace
}  // namespace zt
