// The transaction against the simulated meter in virtual time: which reply
// belongs to which request, the quiet line after a failure, and the local
// echo of two-wire adapters.
#include "link/transaction.h"

#include <gtest/gtest.h>

#include <algorithm>
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
      transaction.SetFastExchange(FastExchange::ForLine(line_));
    }
  }

  std::optional<uint16_t> ReadLive() {
    const TxFrame request = BuildReadRequest(1, 0x0000, 1);
    const int16_t at = transaction.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
    if (at == Transaction::kNoReply) {
      return std::nullopt;
    }
    return transaction.ReplyRegister(at, 0);
  }

  // The reply to a request handed to the port at `sent` begins this late
  // after it, when the meter adds `extra` to its latency.
  microseconds ReplyStart(microseconds extra) const {
    return sim::LineTime(line_, 8) + sim::kDefaultReplyLatency + extra;
  }

  LineFormat line_;
};

TEST_P(TransactionTest, AReplyUpToTheGuardLimitLateIsNeverTakenForTheNextRequests) {
  // Every delay from just past the wait to a reply that begins at the guard
  // limit after its wait: what serial device servers that buffer give.
  int lateOnes = 0;
  for (microseconds start = kReadWait; start < kReadWait + Transaction::kDefaultGuardLimit;
       start += milliseconds(25)) {
    sim::FaultConfig late;
    late.extraDelay = start - ReplyStart(microseconds{0});
    port.SetFaults(late);
    const uint16_t lateValue = meter.NextLiveValue();
    EXPECT_FALSE(ReadLive().has_value()) << start.count();
    ++lateOnes;

    port.SetFaults({});
    const uint16_t ownValue = meter.NextLiveValue();
    ASSERT_NE(ownValue, lateValue);
    EXPECT_EQ(ReadLive(), ownValue) << "reply beginning " << start.count() << " us after its request";
  }
  EXPECT_EQ(transaction.Counters().lateReplies, lateOnes);
  EXPECT_EQ(transaction.Statistics().Failures(FailureCause::LateReply), lateOnes);

  // One that begins as the guard ends falls into the next request's wait:
  // counted late, and never taken for that request's reply.
  sim::FaultConfig late;
  late.extraDelay = kReadWait + Transaction::kDefaultGuardLimit - ReplyStart(microseconds{0});
  port.SetFaults(late);
  const uint16_t lateValue = meter.NextLiveValue();
  EXPECT_FALSE(ReadLive().has_value());
  port.SetFaults({});
  const std::optional<uint16_t> next = ReadLive();
  EXPECT_NE(next, lateValue);
  if (GetParam()) {
    // Its bytes came before the request had left the line.
    EXPECT_EQ(next, lateValue + 1);
  } else {
    // Two frames that fit, and nothing to tell them apart.
    EXPECT_EQ(next, std::nullopt);
    EXPECT_EQ(transaction.LastFailure()->cause, FailureCause::OtherRequest);
  }
  EXPECT_EQ(transaction.Counters().lateReplies, lateOnes + 1);
}

TEST_P(TransactionTest, AfterASilentExchangeTheNextRequestWaitsForTheGuardLimit) {
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(ReadLive().has_value());
  const microseconds failedDeadline = transaction.LastDeadline();

  port.SetFaults({});
  EXPECT_TRUE(ReadLive().has_value());
  EXPECT_EQ(port.Written().back().at, failedDeadline + Transaction::kDefaultGuardLimit);
  EXPECT_EQ(transaction.Counters().lateReplies, 0);

  // A successful exchange leaves the line clean: the next request is not held.
  const microseconds before = clock.Now();
  EXPECT_TRUE(ReadLive().has_value());
  EXPECT_LE(port.Written().back().at - before, FastExchange::ForLine(line_).Silence());

  // A limit set lower holds it for less, but never for less than the failed
  // wait and 3.5 characters.
  const microseconds characterTime =
      GetParam() ? FastExchange::ForLine(line_).characterTime : microseconds(10'000);
  for (const milliseconds limit : {milliseconds(900), milliseconds(100)}) {
    transaction.SetGuardLimit(limit);
    port.SetFaults(silent);
    EXPECT_FALSE(ReadLive().has_value());
    const microseconds deadline = transaction.LastDeadline();
    port.SetFaults({});
    EXPECT_TRUE(ReadLive().has_value());
    EXPECT_EQ(port.Written().back().at,
              deadline + std::max<microseconds>(limit, kReadWait + characterTime * 7 / 2))
        << limit.count();
  }
}

TEST_P(TransactionTest, OnceALateReplyIsHeardTheGuardEndsAfterTheQuietThatFollowsIt) {
  sim::FaultConfig late;
  late.extraDelay = milliseconds(700);
  port.SetFaults(late);
  EXPECT_FALSE(ReadLive().has_value());
  const microseconds sent = port.Written().back().at;

  port.SetFaults({});
  EXPECT_TRUE(ReadLive().has_value());
  const microseconds lastLateByte = sent + ReplyStart(milliseconds(700)) + sim::LineTime(line_, 7);
  const microseconds characterTime =
      GetParam() ? FastExchange::ForLine(line_).characterTime : microseconds(10'000);
  // Heard when the whole reply has come, then quiet for the wait and 3.5
  // characters; a reply heard in pieces only moves this by the pieces.
  const microseconds next = port.Written().back().at;
  EXPECT_GE(next, lastLateByte + kReadWait + characterTime * 7 / 2);
  EXPECT_LT(next, sent + kReadWait + Transaction::kDefaultGuardLimit);
  EXPECT_EQ(transaction.Counters().lateReplies, 1);
  EXPECT_EQ(transaction.LastFailure(), std::nullopt);
  EXPECT_EQ(transaction.Statistics().Failures(FailureCause::LateReply), 1);
}

TEST_P(TransactionTest, ALineThatNeverFallsQuietHoldsTheNextRequestForTheGuardLimitAtMost) {
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(ReadLive().has_value());
  const microseconds failedDeadline = transaction.LastDeadline();
  // A chattering line: a stray byte every 50 ms for the next three seconds.
  for (microseconds at = failedDeadline; at < failedDeadline + milliseconds(3000);
       at += milliseconds(50)) {
    port.InjectIncoming(at + microseconds(1), {0x55});
  }

  port.SetFaults({});
  ReadLive();
  EXPECT_EQ(port.Written().back().at, failedDeadline + Transaction::kDefaultGuardLimit);
  EXPECT_EQ(transaction.Counters().lateReplies, 1);
  EXPECT_EQ(transaction.Counters().lateBytes, 40);
}

TEST_P(TransactionTest, TwoRepliesThatBothFitAreNeitherTaken) {
  // A reply from long ago, later than any guard, on the line beside this
  // request's own: nothing in either frame tells which is which.
  const TxFrame request = BuildReadRequest(1, 0x0000, 1);
  const std::vector<uint8_t> stale = {0x01, 0x03, 0x02, 0x00, 0x02, 0x39, 0x85};
  port.InjectIncoming(clock.Now() + sim::LineTime(line_, 8) + microseconds(100), stale);
  const int16_t at = transaction.RequestReply(request, kReadWait, ExpectedReply::ReadOf(request));
  if (GetParam()) {
    // The fast policy ends at the first frame that fits, and one that comes
    // once the request has left cannot be told from its reply: past the
    // guard limit only the fixed wait, which sees both, can refuse it.
    ASSERT_NE(at, Transaction::kNoReply);
    EXPECT_EQ(transaction.ReplyRegister(at, 0), 2);
  } else {
    EXPECT_EQ(at, Transaction::kNoReply);
    ASSERT_TRUE(transaction.LastFailure().has_value());
    EXPECT_EQ(transaction.LastFailure()->cause, FailureCause::OtherRequest);
    EXPECT_EQ(transaction.Counters().lateReplies, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Waits, TransactionTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

// A two-wire adapter hears its own transmission; with and without a meter.
class LocalEchoTest : public ::testing::TestWithParam<bool>, protected test::VirtualMeterLine {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenLine());
    if (GetParam()) {
      transaction.SetFastExchange(FastExchange::ForLine(port.CurrentLineFormat()));
    }
  }

  LinkSettings settings_;
  MeterSession session_{transaction, settings_};
};

TEST_P(LocalEchoTest, AWriteIsConfirmedOnlyByTheMetersOwnEcho) {
  port.SetLocalEcho(true);
  EXPECT_EQ(transaction.LineEchoes(), std::nullopt);
  EXPECT_TRUE(session_.WriteWiringMode(3)) << "the meter's echo behind the adapter's";
  EXPECT_EQ(transaction.LineEchoes(), true) << "told by the read before the write";
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
  EXPECT_GT(transaction.Counters().echoesSkipped, 5);
}

TEST_P(LocalEchoTest, AnEchoingLineWithNoMeterIsFoundOutBeforeTheFirstWrite) {
  port.SetLocalEcho(true);
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  EXPECT_FALSE(session_.ChangeAddress(9)) << "an address where no meter exists";
  EXPECT_EQ(transaction.LineEchoes(), true);

  // Told off, the transaction takes the adapter's copy for the meter's echo:
  // exactly what the detection prevents.
  transaction.SetLocalEcho(LocalEcho::Off);
  EXPECT_TRUE(session_.WriteWiringMode(4));
  transaction.SetLocalEcho(LocalEcho::On);
  EXPECT_FALSE(session_.WriteWiringMode(4));
}

TEST_P(LocalEchoTest, AQuietAdapterIsRememberedAsSuch) {
  EXPECT_TRUE(session_.WriteWiringMode(2));
  EXPECT_EQ(transaction.LineEchoes(), false);
  const std::size_t written = port.Written().size();
  EXPECT_TRUE(session_.WriteWiringMode(1));
  EXPECT_EQ(port.Written().size(), written + 1) << "no second probe";
  transaction.ForgetLine();
  EXPECT_EQ(transaction.LineEchoes(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Waits, LocalEchoTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

}  // namespace
}  // namespace zt
