// The console's request/reply transaction against the simulated meter, in
// virtual time: what the console finds in its receive buffer when the line
// misbehaves.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "hex.h"
#include "link/clock.h"
#include "link/modbus_rtu.h"
#include "link/transaction.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"

namespace zt::sim {
namespace {

using std::chrono::milliseconds;
using test::Hex;

constexpr milliseconds kReadWait{600};

class TransactionOverSim : public ::testing::Test {
 protected:
  void SetUp() override {
    meter_.SetDecimalPoint(2);
    meter_.SetUpperLimit(4321);
    Reopen("9600,N,8,2");
  }

  void Reopen(std::string_view settings) {
    port_.Close();
    port_.SelectPort(1);
    ASSERT_TRUE(port_.SetLineFormat(settings));
    ASSERT_TRUE(port_.Open());
  }

  int16_t Read(uint16_t registerNumber, uint8_t address = 1) {
    const TxFrame request = BuildReadRequest(address, registerNumber, 1);
    return link_.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
  }

  VirtualClock clock_;
  MeterModel meter_;
  SimulatedPort port_{clock_, meter_};
  Transaction link_{port_, clock_};
};

TEST_F(TransactionOverSim, FindsTheReplyAndDecodesItsValue) {
  const int16_t at = Read(0x0302);
  ASSERT_EQ(at, 0);
  EXPECT_EQ(link_.ReplyRegister(at, 0), 4321);
  EXPECT_EQ(clock_.Now(), milliseconds(600));
}

TEST_F(TransactionOverSim, ALateReplyIsNeverTakenForTheNextOne) {
  FaultConfig late;
  late.extraDelay = milliseconds(700);
  late.appliesTo = TouchingRegisters(0x0006, 0x0006);
  port_.SetFaults(late);

  EXPECT_EQ(Read(0x0006), Transaction::kNoReply);
  EXPECT_TRUE(link_.Received().empty());
  // The poll's pause: the late decimal point arrives meanwhile.
  clock_.Sleep(milliseconds(300));
  ASSERT_EQ(port_.CountWaiting(), 7);

  const int16_t at = Read(0x0302);
  ASSERT_EQ(at, 0);
  EXPECT_EQ(link_.ReplyRegister(at, 0), 4321);
  EXPECT_EQ(link_.Received().size(), 7U) << Hex(link_.Received());
}

TEST_F(TransactionOverSim, StrayBytesBeforeARequestAreDiscarded) {
  port_.InjectIncoming(clock_.Now(), {0x01, 0x03, 0x02, 0x00});
  clock_.Advance(milliseconds(1));
  const int16_t at = Read(0x0006);
  EXPECT_EQ(at, 0);
  EXPECT_EQ(Hex(link_.Received()), "01 03 02 00 02 39 85");
}

struct BurstRow {
  std::size_t burst;
  std::size_t copied;
  int16_t found;
};

class BurstBeforeReply : public TransactionOverSim,
                         public ::testing::WithParamInterface<BurstRow> {};

TEST_P(BurstBeforeReply, OnlyTheFirst300BytesAreSearched) {
  // At 19200 bit/s even 320 bytes of burst and the reply fit in the wait.
  meter_.SetLineBaudIndex(4);
  Reopen("19200,N,8,2");
  FaultConfig burst;
  burst.burst = true;
  burst.burstBytes = GetParam().burst;
  port_.SetFaults(burst);

  EXPECT_EQ(Read(0x0006), GetParam().found);
  EXPECT_EQ(link_.Received().size(), GetParam().copied);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BurstBeforeReply,
    ::testing::Values(BurstRow{200, 207, 200},
                      // The reply's last byte is byte 300.
                      BurstRow{293, 300, 293}, BurstRow{294, 300, Transaction::kNoReply},
                      BurstRow{FaultConfig::kDefaultBurstBytes, 300, Transaction::kNoReply}));

class NoiseBeforeReply : public TransactionOverSim,
                         public ::testing::WithParamInterface<std::size_t> {};

TEST_P(NoiseBeforeReply, FindsTheReplyRightAfterTheNoise) {
  FaultConfig noise;
  noise.noiseBytes = GetParam();
  port_.SetFaults(noise);
  const int16_t at = Read(0x0302);
  ASSERT_EQ(at, static_cast<int16_t>(GetParam()));
  EXPECT_EQ(link_.ReplyRegister(at, 0), 4321);
}

INSTANTIATE_TEST_SUITE_P(Counts, NoiseBeforeReply, ::testing::Values(1, 3, 50));

struct NoReplyRow {
  std::string name;
  std::function<void(SimulatedPort&)> spoil;
};

class NoReply : public TransactionOverSim, public ::testing::WithParamInterface<NoReplyRow> {};

TEST_P(NoReply, GivesMinusOne) {
  GetParam().spoil(port_);
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
  const int16_t echo = link_.RequestReply(write, milliseconds(300), ExpectedReply::EchoOf(write));
  EXPECT_EQ(echo, 0);
  EXPECT_EQ(Read(0x0006), Transaction::kNoReply);
  Reopen("19200,N,8,2");
  EXPECT_EQ(Read(0x0006), 0);
}

TEST_F(TransactionOverSim, AfterAnAddressChangeOnlyTheNewAddressIsAnswered) {
  link_.RequestOnly(BuildWriteSingleRequest(1, 0x0300, 5));
  clock_.Sleep(milliseconds(300));
  EXPECT_EQ(Read(0x0006, 1), Transaction::kNoReply);
  EXPECT_EQ(Read(0x0006, 5), 0);
}

TEST_F(TransactionOverSim, SlowestLineStillAnswersWithinTheClockReadsWait) {
  // 1200 bit/s with parity: the 8-byte request and the 11-byte reply take
  // 190 ms of line time, plus the latency, inside the 300 ms sleep.
  meter_.SetLineBaudIndex(0);
  meter_.SetLineParity(Parity::Even);
  Reopen("1200,E,8,2");
  const TxFrame request = BuildReadRequest(1, 0x0110, 3);
  const int16_t at = link_.RequestReply(request, milliseconds(300), ExpectedReply::ReadOf(request));
  EXPECT_EQ(at, 0);
}

}  // namespace
}  // namespace zt::sim
