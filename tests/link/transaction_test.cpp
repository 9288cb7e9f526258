// The transaction against the simulated meter in virtual time: which reply
// belongs to which request, the quiet line after a failure, and the local
// echo of two-wire adapters.
#include "link/transaction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "link/clock.h"
#include "link/modbus_rtu.h"
#include "meter/meter_session.h"
#include "sim/line_timing.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"
#include "support/virtual_meter_line.h"

namespace zt {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr milliseconds kReadWait{600};

class TransactionTest : public ::testing::TestWithParam<bool>, protected test::VirtualMeterLine {
 protected:
  void SetUp() override {
    meter.SetDistinctLiveValues(true);
    ASSERT_TRUE(OpenLine());
    line_ = port.CurrentLineFormat();
    if (GetParam()) {
      link.SetFastExchange(FastExchange::ForLine(line_));
    }
  }

  std::optional<uint16_t> ReadLive() {
    const TxFrame request = BuildReadRequest(1, 0x0000, 1);
    const int16_t at = link.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
    if (at == Transaction::kNoReply) {
      return std::nullopt;
    }
    return link.ReplyRegister(at, 0);
  }

  // The reply to a request handed to the port at `sent` begins this late
  // after it, when the meter adds `extra` to its latency.
  microseconds ReplyStart(microseconds extra) const {
    return sim::LineTime(line_, 8) + sim::kDefaultReplyLatency + extra;
  }

  LineFormat line_;
};

TEST_P(TransactionTest, AReplyUpToTwiceTheWaitLateIsNeverTakenForTheNextRequests) {
  // Every delay from just past the wait to a reply that begins twice the
  // wait after its request.
  for (microseconds start = kReadWait; start <= 2 * kReadWait; start += milliseconds(25)) {
    sim::FaultConfig late;
    late.extraDelay = start - ReplyStart(microseconds{0});
    port.SetFaults(late);
    const uint16_t lateValue = meter.NextLiveValue();
    EXPECT_FALSE(ReadLive().has_value()) << start.count();

    port.SetFaults({});
    const uint16_t ownValue = meter.NextLiveValue();
    ASSERT_NE(ownValue, lateValue);
    EXPECT_EQ(ReadLive(), ownValue) << "reply beginning " << start.count() << " us after its request";
  }
  EXPECT_EQ(link.Counters().lateReplies, 25);
}

TEST_P(TransactionTest, AfterASilentExchangeTheNextRequestWaitsForTheQuietLine) {
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(ReadLive().has_value());
  const microseconds failedDeadline = link.LastDeadline();

  port.SetFaults({});
  EXPECT_TRUE(ReadLive().has_value());
  const microseconds characterTime =
      GetParam() ? FastExchange::ForLine(line_).characterTime : microseconds(10'000);
  EXPECT_EQ(port.Written().back().at, failedDeadline + kReadWait + characterTime * 7 / 2);
  EXPECT_EQ(link.Counters().lateReplies, 0);

  // A successful exchange leaves the line clean: the next request is not held.
  const microseconds before = clock.Now();
  EXPECT_TRUE(ReadLive().has_value());
  EXPECT_LE(port.Written().back().at - before, FastExchange::ForLine(line_).Silence());
}

TEST_P(TransactionTest, ALineThatNeverFallsQuietHoldsTheNextRequestForTwiceTheWaitAtMost) {
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(ReadLive().has_value());
  const microseconds failedDeadline = link.LastDeadline();
  // A chattering line: a stray byte every 50 ms for the next two seconds.
  for (microseconds at = failedDeadline; at < failedDeadline + milliseconds(2000);
       at += milliseconds(50)) {
    port.InjectIncoming(at + microseconds(1), {0x55});
  }

  port.SetFaults({});
  ReadLive();
  EXPECT_EQ(port.Written().back().at, failedDeadline + 2 * kReadWait);
  EXPECT_EQ(link.Counters().lateReplies, 1);
  EXPECT_EQ(link.Counters().lateBytes, 24);
}

INSTANTIATE_TEST_SUITE_P(Waits, TransactionTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

// A two-wire adapter hears its own transmission; with and without a meter.
class LocalEchoTest : public ::testing::TestWithParam<bool>, protected test::VirtualMeterLine {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenLine());
    if (GetParam()) {
      link.SetFastExchange(FastExchange::ForLine(port.CurrentLineFormat()));
    }
  }

  LinkSettings settings_;
  MeterSession session_{link, settings_};
};

TEST_P(LocalEchoTest, AWriteIsConfirmedOnlyByTheMetersOwnEcho) {
  port.SetLocalEcho(true);
  EXPECT_EQ(link.LineEchoes(), std::nullopt);
  EXPECT_TRUE(session_.WriteWiringMode(3)) << "the meter's echo behind the adapter's";
  EXPECT_EQ(link.LineEchoes(), true) << "told by the read before the write";
  EXPECT_EQ(meter.Wiring(), 3);
  EXPECT_EQ(session_.ReadDecimalPoint(), meter.DecimalPoint());

  // The meter is gone: only the adapter's copies come back.
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(session_.WriteWiringMode(4));
  EXPECT_FALSE(session_.ChangeAddress(9));
  EXPECT_FALSE(session_.ChangeLinkBaud(19200));
  EXPECT_FALSE(session_.WritePtRatio(10));
  EXPECT_EQ(session_.WriteParameters({1, 2, 3, 9600}).decimalPoint, false);
  EXPECT_GT(link.Counters().echoesSkipped, 5);
}

TEST_P(LocalEchoTest, AnEchoingLineWithNoMeterIsFoundOutBeforeTheFirstWrite) {
  port.SetLocalEcho(true);
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(session_.ChangeAddress(9)) << "an address where no meter exists";
  EXPECT_EQ(link.LineEchoes(), true);

  // Told off, the transaction takes the adapter's copy for the meter's echo:
  // exactly what the detection prevents.
  link.SetLocalEcho(LocalEcho::Off);
  EXPECT_TRUE(session_.WriteWiringMode(4));
  link.SetLocalEcho(LocalEcho::On);
  EXPECT_FALSE(session_.WriteWiringMode(4));
}

TEST_P(LocalEchoTest, AQuietAdapterIsRememberedAsSuch) {
  EXPECT_TRUE(session_.WriteWiringMode(2));
  EXPECT_EQ(link.LineEchoes(), false);
  const std::size_t written = port.Written().size();
  EXPECT_TRUE(session_.WriteWiringMode(1));
  EXPECT_EQ(port.Written().size(), written + 1) << "no second probe";
  link.ForgetLine();
  EXPECT_EQ(link.LineEchoes(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Waits, LocalEchoTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

}  // namespace
}  // namespace zt
