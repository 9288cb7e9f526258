// Checking a meter against a site profile and bringing it there, on the
// simulated meter in virtual time: the frames on the line, what is written
// and in which order, and where an apply stops.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "link/open_line.h"
#include "meter/commission_apply.h"
#include "meter/commission_check.h"
#include "support/golden_frames.h"
#include "support/hex.h"
#include "support/virtual_meter_line.h"

namespace {

using namespace std::chrono_literals;
using zt::Verdict;
using Lines = std::vector<std::string>;
namespace frame = zt::test::frame;

// 2026-12-07 20:00:00 UTC, 2026-12-08 04:00:00 on the meter's clock.
constexpr std::chrono::seconds kWallStart{1796673600};

// The check's reads before the live polls, for a meter at address 1.
const Lines kCheckReads = {
    std::string(frame::kReadUpperLimit), std::string(frame::kReadLowerLimit),
    std::string(frame::kReadDecimalPoint), std::string(frame::kReadParameterBaud),
    std::string(frame::kReadSwitchStatus), std::string(frame::kReadClock)};

class Commissioning : public testing::Test, protected zt::test::VirtualMeterLine {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenLine("9600,N,8,2"));
    meter.SetClock({2026, 12, 8, 4, 0, 20});  // 20 s ahead once the reads are done
    check_.wallClock = [this] { return zt::WallTime{kWallStart + clock.Now()}; };
    apply_.check = check_;
    apply_.reopen = [this](const zt::LinkSettings& s) {
      return zt::ReopenLine(port, transaction, s);
    };
  }

  // The hex of every frame written, from `first` on.
  Lines Sent(std::size_t first = 0) const {
    Lines rows;
    for (std::size_t i = first; i < port.Written().size(); ++i) {
      rows.push_back(zt::test::Hex(port.Written()[i].bytes));
    }
    return rows;
  }

  zt::SiteProfile Matching() const {
    zt::SiteProfile p;
    p.address = 1;
    p.baud = 9600;
    p.parity = zt::kParityNone;
    p.upperLimit = 5000;
    p.lowerLimit = 100;
    p.decimalPoint = 2;
    return p;
  }

  zt::LinkSettings settings_;
  zt::MeterSession session_{transaction, settings_};
  zt::ConfirmedInstrument confirmed_;
  zt::CheckOptions check_;
  zt::ApplyOptions apply_;
};

TEST_F(Commissioning, CheckReadsEverythingThenPollsAndFindsAMatchingMeter) {
  check_.livePolls = 3;
  meter.SetDistinctLiveValues(true);
  const zt::CheckReport report = zt::CheckMeter(session_, Matching(), confirmed_, check_);

  Lines expected = kCheckReads;
  for (int i = 0; i < 3; ++i) {
    expected.emplace_back(frame::kReadDecimalPoint);
    expected.emplace_back(frame::kReadLiveValue);
  }
  EXPECT_EQ(Sent(), expected);
  EXPECT_TRUE(report.AllMatch());
  for (const char* key : {"address", "baud", "parity", "parameter_baud", "decimal_point",
                          "upper_limit", "lower_limit", "clock"}) {
    ASSERT_NE(report.Row(key), nullptr) << key;
    EXPECT_EQ(report.Row(key)->verdict, Verdict::Match) << key;
  }
  EXPECT_EQ(report.Row("relay")->read, "on");
  EXPECT_EQ(report.Row("switch")->read, "open");
  EXPECT_EQ(report.Row("relay")->verdict, Verdict::NoExpectation);
  // The clock is read 3.3 s after the start: the meter is 17 s ahead.
  EXPECT_EQ(report.Row("clock")->expected, "2026-12-08 04:00:03");
  EXPECT_EQ(report.Row("clock")->read, "2026-12-08 04:00:20");
  EXPECT_EQ(report.Row("clock")->note, "+17 s, tolerance 60 s");

  // Distinct raw values 1000, 1001, 1002 at two decimals.
  EXPECT_EQ(report.live.polls, 3);
  EXPECT_EQ(report.live.replies, 3);
  EXPECT_DOUBLE_EQ(*report.live.min, 10.0);
  EXPECT_DOUBLE_EQ(*report.live.max, 10.02);
  EXPECT_DOUBLE_EQ(*report.live.mean, 10.01);
  EXPECT_TRUE(report.link.Healthy());
  EXPECT_EQ(report.link.exchanges, 12);
  // Every value read is kept with its time.
  ASSERT_EQ(report.reads.size(), 9U);
  EXPECT_EQ(report.reads[0].what, "upper_limit");
  EXPECT_EQ(report.reads[0].value, "5000");
  EXPECT_EQ(report.reads[0].at, zt::WallTime{kWallStart + 600ms});
  EXPECT_EQ(report.reads[3].value, "9600");
  EXPECT_EQ(report.reads[8].value, "10.0200");
}

TEST_F(Commissioning, CheckTellsWhatDiffersWhatCannotBeReadAndAClockOutsideTolerance) {
  check_.livePolls = 0;
  zt::SiteProfile p = Matching();
  p.upperLimit = 4000;
  p.parity = zt::kParityEven;
  p.pt = 100;
  p.clockToleranceS = 10;
  confirmed_.ct = zt::ConfirmedInstrument::Entry{5, zt::WallTime{kWallStart}};
  const zt::CheckReport report = zt::CheckMeter(session_, p, confirmed_, check_);

  EXPECT_FALSE(report.AllMatch());
  EXPECT_EQ(report.Row("upper_limit")->verdict, Verdict::Differs);
  EXPECT_EQ(report.Row("upper_limit")->expected, "4000");
  EXPECT_EQ(report.Row("upper_limit")->read, "5000");
  EXPECT_EQ(report.Row("parity")->verdict, Verdict::Differs);
  EXPECT_EQ(report.Row("parity")->read, "none");
  EXPECT_EQ(report.Row("pt")->verdict, Verdict::NotReadable);
  EXPECT_EQ(report.Row("pt")->read, std::nullopt);
  EXPECT_EQ(report.Row("pt")->at, std::nullopt);
  // Confirmed earlier in this run: still not readable, with its value and time.
  EXPECT_EQ(report.Row("ct")->verdict, Verdict::NotReadable);
  EXPECT_EQ(report.Row("ct")->read, "5");
  EXPECT_EQ(report.Row("ct")->at, zt::WallTime{kWallStart});
  EXPECT_EQ(report.Row("wiring")->expected, std::nullopt);
  EXPECT_EQ(report.Row("clock")->verdict, Verdict::Differs);

  meter.SetClock({2026, 13, 8, 4, 0, 0});
  const zt::CheckReport badDate = zt::CheckMeter(session_, Matching(), confirmed_, check_);
  EXPECT_EQ(badDate.Row("clock")->verdict, Verdict::Differs);
  EXPECT_EQ(badDate.Row("clock")->note, "not a valid date and time");
}

TEST_F(Commissioning, ASilentMeterGivesNoReplyRowsAndTheLinkVerdictNamesWhatToCheck) {
  check_.livePolls = 2;
  Silence();
  const zt::CheckReport report = zt::CheckMeter(session_, Matching(), confirmed_, check_);

  EXPECT_FALSE(report.AllMatch());
  EXPECT_EQ(report.Row("address")->verdict, Verdict::NoReply);
  EXPECT_EQ(report.Row("upper_limit")->verdict, Verdict::NoReply);
  EXPECT_EQ(report.Row("clock")->verdict, Verdict::NoReply);
  EXPECT_EQ(report.live.replies, 0);
  EXPECT_EQ(report.live.mean, std::nullopt);
  EXPECT_EQ(report.link.failures, 10);
  EXPECT_EQ(report.link.mainCause, zt::FailureCause::NoBytes);
  EXPECT_EQ(report.link.check, "power, A/B wiring, address, rate");
  EXPECT_EQ(report.pollStatistics.failureCount, 2);

  // A meter that refuses one register: the parameter reads stand, the link
  // names the refusal.
  zt::sim::FaultConfig refuse;
  refuse.exceptionReply = true;
  refuse.appliesTo = zt::sim::TouchingRegisters(0x0110, 0x0112);
  port.SetFaults(refuse);
  check_.livePolls = 0;
  const zt::CheckReport refused = zt::CheckMeter(session_, Matching(), confirmed_, check_);
  EXPECT_EQ(refused.Row("upper_limit")->verdict, Verdict::Match);
  EXPECT_EQ(refused.link.mainCause, zt::FailureCause::Exception);
  EXPECT_EQ(refused.link.check, "the meter refused the register");
}

TEST_F(Commissioning, ApplyWritesOnlyWhatDiffersInTheSafeOrderAndFollowsAddressAndRate) {
  check_.livePolls = 1;
  apply_.check = check_;
  zt::SiteProfile p = Matching();
  p.upperLimit = 4000;  // differs
  p.pt = 100;           // cannot be read: written
  p.address = 5;
  p.baud = 19200;
  const zt::ApplyReport report = zt::ApplyProfile(session_, settings_, p, confirmed_, apply_);

  Lines expected = kCheckReads;
  const Lines writes = {
      "01 06 03 02 0F A0 2D C6",          // upper threshold 4000
      "01 06 03 08 00 04 09 8F",          // the parameter block's baud, 19200
      std::string(frame::kWritePt100),    // PT
      std::string(frame::kWriteAddress5),  // the address, to the old one
      "05 03 00 06 00 01 65 8F",          // proven at the new address
      "05 06 00 08 00 04 08 4F",          // the rate, told at 9600 bit/s
      "05 03 00 06 00 01 65 8F",          // proven at 19200 bit/s
  };
  expected.insert(expected.end(), writes.begin(), writes.end());
  const Lines sent = Sent();
  ASSERT_GE(sent.size(), expected.size());
  EXPECT_EQ(Lines(sent.begin(), sent.begin() + static_cast<long>(expected.size())), expected);
  // The port was reopened between telling the meter and the proving read.
  const auto& written = port.Written();
  EXPECT_EQ(written[kCheckReads.size() + 5].line.baudRate, 9600);
  EXPECT_EQ(written[kCheckReads.size() + 6].line.baudRate, 19200);

  ASSERT_EQ(report.steps.size(), 5U);
  const char* order[] = {"upper_limit", "parameter_baud", "pt", "address", "baud"};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(report.steps[i].key, order[i]);
    EXPECT_EQ(report.steps[i].state, zt::StepState::Confirmed) << order[i];
    EXPECT_TRUE(report.steps[i].at.has_value());
  }
  EXPECT_EQ(settings_.address, 5);
  EXPECT_EQ(settings_.baudRate, 19200);
  EXPECT_EQ(meter.UpperLimit(), 4000);
  EXPECT_EQ(meter.PtRatio(), 100);
  ASSERT_TRUE(confirmed_.pt.has_value());
  EXPECT_EQ(confirmed_.pt->value, 100);

  // The closing check runs at the new address and rate and finds it all in place.
  ASSERT_TRUE(report.after.has_value());
  EXPECT_EQ(sent[expected.size()], "05 03 03 02 00 01 24 0A");
  EXPECT_TRUE(report.after->AllMatch());
  EXPECT_EQ(report.after->Row("pt")->read, "100");
  EXPECT_TRUE(report.Done());

  // Run again: nothing differs, PT was confirmed in this run, so nothing is written.
  const std::size_t before = port.Written().size();
  const zt::ApplyReport again = zt::ApplyProfile(session_, settings_, p, confirmed_, apply_);
  EXPECT_TRUE(again.steps.empty());
  for (const std::string& row : Sent(before)) {
    EXPECT_EQ(row.substr(0, 5), "05 03") << row;
  }
  EXPECT_TRUE(again.Done());
}

TEST_F(Commissioning, ApplyStopsAtTheFirstUnconfirmedWriteAndSaysWhatWasAndWasNotDone) {
  check_.livePolls = 0;
  apply_.check = check_;
  zt::SiteProfile p = Matching();
  p.decimalPoint = 1;
  p.lowerLimit = 200;
  p.pt = 100;
  p.address = 5;
  SilenceRegisters(0x0304, 0x0304);  // the lower threshold: unread, and its write unanswered
  const zt::ApplyReport report = zt::ApplyProfile(session_, settings_, p, confirmed_, apply_);

  ASSERT_EQ(report.steps.size(), 4U);
  EXPECT_EQ(report.steps[0].key, "decimal_point");
  EXPECT_EQ(report.steps[0].state, zt::StepState::Confirmed);
  EXPECT_EQ(report.steps[1].key, "lower_limit");
  EXPECT_EQ(report.steps[1].state, zt::StepState::NotConfirmed);
  EXPECT_EQ(report.steps[1].note, "the meter did not confirm the write");
  EXPECT_EQ(report.steps[2].state, zt::StepState::NotSent);
  EXPECT_EQ(report.steps[3].state, zt::StepState::NotSent);
  EXPECT_FALSE(report.Done());

  Lines expected = kCheckReads;
  expected.emplace_back("01 06 00 06 00 01 A8 0B");
  expected.emplace_back("01 06 03 04 00 C8 C9 D9");
  expected.insert(expected.end(), kCheckReads.begin(), kCheckReads.end());  // the closing check
  EXPECT_EQ(Sent(), expected);
  EXPECT_EQ(settings_.address, 1);
  EXPECT_FALSE(confirmed_.pt.has_value());
}

TEST_F(Commissioning, ARateTheMeterTookButThePortCannotReopenAtStopsTheApplyWithTheReason) {
  check_.livePolls = 0;
  apply_.check = check_;
  apply_.reopen = [](const zt::LinkSettings&) {
    zt::OpenResult failed;
    failed.device = "/dev/ttyUSB0";
    failed.reason = "Device or resource busy";
    return failed;
  };
  zt::SiteProfile p;
  p.baud = 19200;
  p.parity = zt::kParityOdd;
  const zt::ApplyReport report = zt::ApplyProfile(session_, settings_, p, confirmed_, apply_);

  ASSERT_EQ(report.steps.size(), 3U);
  EXPECT_EQ(report.steps[0].key, "parameter_baud");
  EXPECT_EQ(report.steps[0].state, zt::StepState::Confirmed);
  // No register takes the parity: it is listed, never sent.
  EXPECT_EQ(report.steps[1].key, "parity");
  EXPECT_EQ(report.steps[1].state, zt::StepState::NotWritable);
  EXPECT_EQ(report.steps[2].key, "baud");
  EXPECT_EQ(report.steps[2].state, zt::StepState::NotConfirmed);
  EXPECT_EQ(report.steps[2].note,
            "the meter took 19200 bit/s but /dev/ttyUSB0 did not open again: Device or resource busy");
  EXPECT_EQ(settings_.baudRate, 19200);
}

TEST_F(Commissioning, AStopBetweenExchangesEndsTheCheckAndTheApplyWithNothingMoreSent) {
  std::atomic<bool> stop{false};
  int steps = 0;
  check_.stopRequested = [&stop] { return stop.load(); };
  check_.livePolls = 10;
  check_.progress = [&](std::string_view) {
    if (++steps == 3) {
      stop = true;
    }
  };
  const zt::CheckReport report = zt::CheckMeter(session_, Matching(), confirmed_, check_);
  EXPECT_TRUE(report.cancelled);
  EXPECT_FALSE(report.AllMatch());
  EXPECT_EQ(Sent().size(), 3U);

  stop = false;
  steps = 0;
  apply_.check = check_;
  zt::SiteProfile p = Matching();
  p.upperLimit = 4000;
  const std::size_t before = port.Written().size();
  const zt::ApplyReport apply = zt::ApplyProfile(session_, settings_, p, confirmed_, apply_);
  EXPECT_TRUE(apply.cancelled);
  EXPECT_TRUE(apply.steps.empty());
  EXPECT_EQ(Sent(before).size(), 3U);
  EXPECT_EQ(meter.UpperLimit(), 5000);
}

TEST(MeterClockTime, TakesTheMeterToKeepUtcPlusEight) {
  const auto time = zt::MeterClockTime({2026, 12, 8, 4, 0, 0});
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(time->time_since_epoch(), kWallStart);
  EXPECT_EQ(zt::ChinaTimeText(*time), "2026-12-08 04:00:00");
  EXPECT_FALSE(zt::MeterClockTime({2026, 2, 30, 0, 0, 0}));
  EXPECT_FALSE(zt::MeterClockTime({2026, 1, 1, 24, 0, 0}));
  EXPECT_FALSE(zt::MeterClockTime({2026, 1, 1, 0, 89, 0}));
}

}  // namespace
