// The operations both front ends share, against the simulated meter in
// virtual time: the frames on the line with their times, and what each
// operation makes of the replies.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "link/transaction.h"
#include "meter/instrument_setup.h"
#include "meter/live_value.h"
#include "meter/measurement_poll.h"
#include "meter/meter_session.h"
#include "meter/parameter_write.h"
#include "meter/periods.h"
#include "support/golden_frames.h"
#include "support/hex.h"
#include "sim/fault_config.h"
#include "support/virtual_meter_line.h"

namespace {

using std::chrono::milliseconds;
using zt::test::At;
using zt::test::Hex;
using Lines = std::vector<std::string>;
namespace frame = zt::test::frame;

class MeterOperations : public testing::Test, protected zt::test::VirtualMeterLine {
 protected:
  void SetUp() override { ASSERT_TRUE(OpenLine("9600,N,8,2")); }

  zt::LinkSettings settings_;
  zt::MeterSession session_{transaction, settings_};
};

TEST_F(MeterOperations, PollTickReadsDecimalPointThenLiveValueAtTheFixedWaits) {
  zt::MeasurementPoll poll(session_);

  EXPECT_TRUE(poll.Tick());

  // 600 ms for the first read, 300 ms pause, 600 ms for the second.
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(900, frame::kReadLiveValue)}));
  EXPECT_EQ(clock.Now(), milliseconds(1500));
}

TEST_F(MeterOperations, FastPollTickLeavesOutThePauseBetweenItsReads) {
  transaction.SetFastExchange(zt::FastExchange::ForLine(port.CurrentLineFormat()));
  zt::MeasurementPoll poll(session_);

  EXPECT_TRUE(poll.Tick());

  const std::vector<zt::sim::WrittenFrame>& frames = port.Written();
  ASSERT_EQ(frames.size(), 2U);
  EXPECT_EQ(Hex(frames[0].bytes), frame::kReadDecimalPoint);
  EXPECT_EQ(Hex(frames[1].bytes), frame::kReadLiveValue);
  // Request and reply line times, the meter's 20 ms, then the silence.
  EXPECT_GT(frames[1].at, milliseconds(20));
  EXPECT_LT(frames[1].at, milliseconds(300));
}

TEST_F(MeterOperations, PollScalesByTheDecimalPointAndCountsEveryTick) {
  zt::MeasurementPoll poll(session_);
  meter.SetDecimalPoint(3);

  ASSERT_TRUE(poll.Tick());
  EXPECT_EQ(poll.DecimalPoint(), 3);
  EXPECT_EQ(poll.LiveText(), "1.0000");
  EXPECT_DOUBLE_EQ(poll.Quantities().PhaseA.Current, 1.0);
  EXPECT_DOUBLE_EQ(poll.Quantities().CombinedCurrent, 1.0);
  EXPECT_EQ(poll.Quantities().PhaseB.Current, 0);

  // Only the live value goes unanswered: the tick fails and has no value to
  // show, while the logged current keeps the last reading.
  SilenceRegisters(0x0000, 0x0000);
  EXPECT_FALSE(poll.Tick());
  EXPECT_EQ(poll.LiveText(), std::nullopt);
  EXPECT_DOUBLE_EQ(poll.Quantities().PhaseA.Current, 1.0);
  EXPECT_EQ(poll.Statistics().successCount, 1);
  EXPECT_EQ(poll.Statistics().failureCount, 1);
  EXPECT_EQ(poll.Statistics().errorRate, "50.0000%");

  // The meter answers again: the next tick shows what it read.
  port.SetFaults({});
  ASSERT_TRUE(poll.Tick());
  EXPECT_TRUE(poll.LiveText().has_value());
}

TEST_F(MeterOperations, PollKeepsTheDecimalPointItWasGivenWhenALaterReadFails) {
  zt::MeasurementPoll poll(session_);
  meter.SetDistinctLiveValues(true);
  ASSERT_TRUE(poll.Tick());
  EXPECT_EQ(poll.DecimalPoint(), 2);

  SilenceRegisters(0x0006, 0x0006);
  poll.SetDecimalPoint(1);
  ASSERT_TRUE(poll.Tick());
  EXPECT_EQ(poll.DecimalPoint(), 1);
  EXPECT_EQ(poll.LiveText(), "100.1000");
}

TEST_F(MeterOperations, UntilADecimalPointIsReadNoLiveValueIsGood) {
  zt::MeasurementPoll poll(session_);
  meter.SetDistinctLiveValues(true);
  SilenceRegisters(0x0006, 0x0006);
  // A decimal point typed by the technician is no reading of the meter.
  poll.SetDecimalPoint(2);

  for (int tick = 0; tick < 2; ++tick) {
    EXPECT_FALSE(poll.Tick());
    EXPECT_EQ(poll.LastReads().rawValue, 1000 + tick);
    EXPECT_EQ(poll.LiveText(), std::nullopt);
    ASSERT_TRUE(poll.LastFailure().has_value());
    EXPECT_TRUE(poll.LastFailure()->decimalPointUnread);
    EXPECT_EQ(poll.LastFailure()->Key(), "decimal_point_unread");
    EXPECT_DOUBLE_EQ(poll.Quantities().PhaseA.Current, 0.0);
  }
  EXPECT_EQ(poll.Statistics().failureCount, 2);
  EXPECT_EQ(poll.Statistics().successCount, 0);

  // The first decimal point that comes makes the live value good.
  port.SetFaults({});
  ASSERT_TRUE(poll.Tick());
  EXPECT_EQ(poll.LiveText(), "10.0200");
  EXPECT_EQ(poll.LastFailure(), std::nullopt);

  // One read outside the poll counts as well; a value none of 0 to 3 does not.
  zt::MeasurementPoll other(session_);
  EXPECT_FALSE(other.AdoptDecimalPoint(4));
  EXPECT_FALSE(other.DecimalPointRead());
  EXPECT_TRUE(other.AdoptDecimalPoint(3));
  EXPECT_TRUE(other.DecimalPointRead());
}

TEST_F(MeterOperations, ADecimalPointOutsideTheTableIsAReplyToAnotherRequest) {
  for (const uint16_t wrong : {uint16_t{4}, uint16_t{7}, uint16_t{65535}}) {
    zt::MeasurementPoll poll(session_);
    meter.SetDecimalPoint(3);
    ASSERT_TRUE(poll.Tick());
    const int64_t otherRequests = transaction.Statistics().Failures(zt::FailureCause::OtherRequest);

    meter.SetDecimalPoint(wrong);
    EXPECT_FALSE(poll.Tick()) << wrong;
    // Not adopted, not scaled by, and the live value is no good reading.
    EXPECT_EQ(poll.LastReads().decimalPoint, std::nullopt);
    EXPECT_EQ(poll.DecimalPoint(), 3);
    EXPECT_EQ(poll.LiveText(), std::nullopt);
    ASSERT_TRUE(poll.LastFailure().has_value());
    EXPECT_FALSE(poll.LastFailure()->decimalPointUnread);
    EXPECT_EQ(poll.LastFailure()->Key(), "other_request");
    EXPECT_EQ(transaction.Statistics().Failures(zt::FailureCause::OtherRequest), otherRequests + 1);
    EXPECT_EQ(poll.Statistics().failureCount, 1);
    // The parameter read does not take it either.
    EXPECT_EQ(session_.ReadParameters().decimalPoint, std::nullopt);
  }
}

TEST(FastPollAfterALateReply, OneLateReplyDoesNotPutThePollOutOfStep) {
  // 1.3 s late, to the live value and then to the decimal point: a reply
  // that begins while a later request waits would otherwise be taken for it.
  for (const uint16_t lateRegister : {uint16_t{0x0000}, uint16_t{0x0006}}) {
    zt::test::VirtualMeterLine line;
    ASSERT_TRUE(line.OpenLine());
    line.transaction.SetFastExchange(zt::FastExchange::ForLine(line.port.CurrentLineFormat()));
    line.meter.SetDistinctLiveValues(true);
    line.port.SetRecording(false);
    const zt::LinkSettings settings;
    zt::MeterSession session(line.transaction, settings);
    zt::MeasurementPoll poll(session);
    ASSERT_TRUE(poll.Tick());

    auto hits = std::make_shared<int>(0);
    zt::sim::FaultConfig late;
    late.extraDelay = milliseconds(1300);
    late.appliesTo = [hits, lateRegister](const zt::sim::Request& request) {
      return request.first == lateRegister && (*hits)++ == 0;
    };
    line.port.SetFaults(late);
    EXPECT_FALSE(poll.Tick());
    ASSERT_TRUE(poll.LastFailure().has_value());
    // A live value that did not come in time; a decimal point whose reply
    // the guard heard between the two reads.
    EXPECT_EQ(poll.LastFailure()->Key(), lateRegister == 0 ? "no_bytes" : "late_reply");

    for (int tick = 0; tick < 1000; ++tick) {
      const uint16_t sent = line.meter.NextLiveValue();
      ASSERT_TRUE(poll.Tick()) << "tick " << tick;
      ASSERT_EQ(poll.LastReads().rawValue, sent) << "tick " << tick;
      ASSERT_EQ(poll.LiveText(), zt::FormatLiveValue(sent, 2)) << "tick " << tick;
    }
    EXPECT_EQ(line.transaction.Counters().lateReplies, 1);
    EXPECT_EQ(line.transaction.Statistics().Failures(zt::FailureCause::LateReply), 1);
    EXPECT_EQ(poll.Statistics().successCount, 1001);
    EXPECT_EQ(poll.Statistics().failureCount, 1);
  }
}

TEST_F(MeterOperations, InstrumentSetupWritesPtCtAndWiringInThisOrder) {
  const zt::InstrumentSettings wanted{200, 50, 4};

  const zt::InstrumentSetupOutcome outcome = zt::WriteInstrumentSetup(session_, wanted);

  // A read tells whether the fresh line echoes; then each write waits
  // 300 ms for its confirmation.
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(600, frame::kWritePt200),
                            At(900, frame::kWriteCt50), At(1200, frame::kWriteWiring4)}));
  EXPECT_TRUE(outcome.AllConfirmed());
  EXPECT_STREQ(outcome.Report(), "设置仪表参数成功");
  EXPECT_EQ(meter.PtRatio(), 200);
  EXPECT_EQ(meter.CtRatio(), 50);
  EXPECT_EQ(meter.Wiring(), 4);
}

TEST_F(MeterOperations, InstrumentSetupStopsAtTheFirstWriteNotConfirmed) {
  struct Row {
    const char* name;
    uint16_t silentRegister;
    std::size_t framesSent;
    const char* report;
    zt::InstrumentSettings remembered;
  };
  const zt::InstrumentSettings before{7, 8, 1};
  const zt::InstrumentSettings wanted{200, 50, 4};
  const Row rows[] = {
      // The first also carries the read that finds out whether the line echoes.
      {"pt", 0x0000, 2, "设置PT不成功", {7, 8, 1}},
      {"ct", 0x0004, 2, "设置CT不成功", {200, 8, 1}},
      {"wiring", 0x0002, 3, "设置接线方式不成功", {200, 50, 1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    port.ClearLogs();
    SilenceRegisters(row.silentRegister, row.silentRegister);

    const zt::InstrumentSetupOutcome outcome = zt::WriteInstrumentSetup(session_, wanted);

    EXPECT_EQ(port.Written().size(), row.framesSent);
    EXPECT_FALSE(outcome.AllConfirmed());
    EXPECT_STREQ(outcome.Report(), row.report);
    const zt::InstrumentSettings kept = zt::ConfirmedSettings(before, wanted, outcome);
    EXPECT_EQ(kept.ptRatio, row.remembered.ptRatio);
    EXPECT_EQ(kept.ctRatio, row.remembered.ctRatio);
    EXPECT_EQ(kept.wiringMode, row.remembered.wiringMode);
  }
}

TEST(ParameterWrite, TheFirstValueThatDoesNotFitARegisterIsNamedInTheConsolesOrder) {
  struct Row {
    zt::ParameterValues values;
    const char* refused;  // nullptr: all fit
  };
  const Row rows[] = {
      {{65535, -32768, 3, 9600}, nullptr},
      {{65536, 0, -32769, 9600}, "小数点"},
      {{65536, -32769, 0, 9600}, "上限阀值"},
      {{0, -32769, 0, 70000}, "下限阀值"},
      {{0, 0, 0, 19200 * 4}, "波特率"},
  };
  for (const Row& row : rows) {
    const std::optional<zt::EnteredValue> refused = zt::FirstParameterOutOfRange(row.values);
    if (row.refused == nullptr) {
      EXPECT_FALSE(refused.has_value());
    } else {
      ASSERT_TRUE(refused.has_value()) << row.refused;
      EXPECT_STREQ(refused->caption, row.refused);
      EXPECT_EQ(refused->range.min, -32768);
      EXPECT_EQ(refused->range.max, 65535);
    }
  }
}

zt::ParameterWrites Writes(bool decimalPoint, bool upperLimit, bool lowerLimit, bool meterBaud) {
  zt::ParameterWrites writes;
  writes.decimalPoint = decimalPoint;
  writes.upperLimit = upperLimit;
  writes.lowerLimit = lowerLimit;
  writes.meterBaud = meterBaud;
  return writes;
}

TEST(ParameterWrite, TheReportNamesEveryWriteNotEchoedInTheConsolesOrder) {
  EXPECT_EQ(zt::ParameterWriteReport(Writes(true, true, true, true)), "写数据成功！");
  EXPECT_EQ(zt::ParameterWriteReport(Writes(true, false, true, false)),
            "写数据不成功: 上限阀值 波特率");
  EXPECT_EQ(zt::ParameterWriteReport(Writes(false, false, false, false)),
            "写数据不成功: 小数点 上限阀值 下限阀值 波特率");
  // The window's message adds why; zt6100ctl's stays as it was.
  zt::ParameterWrites refused = Writes(true, true, true, false);
  refused.meterBaudWhy = zt::FailureDiagnosis{zt::FailureCause::Exception, 0x03};
  EXPECT_EQ(zt::ParameterWriteReport(refused), "写数据不成功: 波特率");
  EXPECT_EQ(zt::ParameterWriteReport(refused, nullptr, true),
            "写数据不成功: 波特率 (仪表拒绝: 异常 03)");
  EXPECT_STREQ(zt::AddressChangeReport(true), "写本机地址成功！");
  EXPECT_STREQ(zt::AddressChangeReport(false), "写本机地址不成功");
}

TEST(LogPeriod, IntervalsBecomeTimerPeriodsWithoutOverflow) {
  EXPECT_EQ(zt::LogPeriodMs({1, 30, 15}), 5'415'000);
  EXPECT_EQ(zt::LogPeriodMs({596, 31, 23}), 2'147'483'000);
  EXPECT_TRUE(zt::IsValidLogPeriod(zt::LogPeriodMs({596, 31, 23})));
  EXPECT_FALSE(zt::IsValidLogPeriod(zt::LogPeriodMs({596, 31, 24})));
  EXPECT_FALSE(zt::IsValidLogPeriod(zt::LogPeriodMs({0, 0, 0})));
  EXPECT_TRUE(zt::IsValidLogPeriod(zt::LogPeriodMs({0, 0, 1})));
  // A box holds any 32-bit number: 2^31 hours still computes.
  EXPECT_FALSE(zt::IsValidLogPeriod(zt::LogPeriodMs({INT32_MAX, INT32_MAX, INT32_MAX})));
}

}  // namespace
