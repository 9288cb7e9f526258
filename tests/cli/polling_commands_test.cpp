// poll and log over the simulated meter in virtual time: the ticks of the
// console's timers, the statistics, the log blocks and the stop request.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <iterator>

#include "cli/exit_status.h"
#include "cli/periodic_timer.h"
#include "cli_fixture.h"

namespace zt::cli::test {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// When each poll sent its decimal-point read (the first request of a tick).
std::vector<microseconds> TickStarts(const sim::SimulatedPort& port) {
  std::vector<microseconds> starts;
  for (std::size_t i = 0; i < port.Written().size(); i += 2) {
    starts.push_back(port.Written()[i].at);
  }
  return starts;
}

TEST(PeriodicTimer, ALateTickIsDeliveredOnceAndTheNextKeepsThePeriod) {
  PeriodicTimer timer(0, 1000);
  EXPECT_FALSE(timer.IsDue(999));
  EXPECT_EQ(timer.MsUntilDue(400), 600U);

  timer.Take(1500);  // taken late
  EXPECT_EQ(timer.MsUntilDue(1500), 500U);

  timer.Take(4700);  // two periods missed: one tick, not a burst
  EXPECT_FALSE(timer.IsDue(4701));
  EXPECT_TRUE(timer.IsDue(5700));
}

TEST(PeriodicTimer, WorksAcrossTheWrapOfTheTickCount) {
  PeriodicTimer timer(0xFFFFFF00U, 1000, true);
  EXPECT_TRUE(timer.IsDue(0xFFFFFF00U));
  timer.Take(0xFFFFFF00U);
  EXPECT_FALSE(timer.IsDue(0xFFFFFFFFU));
  EXPECT_TRUE(timer.IsDue(1000 - 0x100));
}

class PollCommandTest : public ::testing::Test, public CliFixture {
 protected:
  explicit PollCommandTest(bool fast = false) : CliFixture(fast) {}
};

class FastPollCommandTest : public PollCommandTest {
 protected:
  FastPollCommandTest() : PollCommandTest(true) {}
};

TEST_F(PollCommandTest, PollsBackToBackBecauseAPollOutlastsTheTimer) {
  EXPECT_EQ(Execute(PollCommand{3, 1000}), kDone);

  EXPECT_THAT(TickStarts(port),
              ElementsAre(milliseconds(0), milliseconds(1500), milliseconds(3000)));
  const std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 6U);
  EXPECT_EQ(lines[0], "live 10.0000  successes 1  failures 0  error rate 0.0000%");
  EXPECT_EQ(lines[3], "totals: polls 3  successes 3  failures 0  error rate 0.0000%");
  EXPECT_EQ(lines[4], "exchanges 6  replies 6  failures 0");
  // From each request handed to the port to the first byte of its reply: 8
  // characters of request, 20 ms, 1 character at 9600 bit/s.
  EXPECT_EQ(lines[5], "reply latency: min 30.3 ms  median 30.3 ms  p95 30.3 ms  max 30.3 ms");
}

TEST_F(FastPollCommandTest, PollsOncePerTimerPeriod) {
  EXPECT_EQ(Execute(PollCommand{3, 1000}), kDone);

  EXPECT_THAT(TickStarts(port),
              ElementsAre(milliseconds(0), milliseconds(1000), milliseconds(2000)));
  // The live-value read follows its decimal-point read after only the
  // line's silence.
  EXPECT_LT(port.Written()[1].at, milliseconds(100));
}

TEST_F(FastPollCommandTest, AZeroPeriodPollsBackToBack) {
  EXPECT_EQ(Execute(PollCommand{5, 0}), kDone);

  EXPECT_EQ(port.Written().size(), 10U);
  EXPECT_LT(clock.Now(), milliseconds(500));
}

TEST_F(FastPollCommandTest, ASilentMeterCountsFailuresAndExitsWithOne) {
  Silence();

  EXPECT_EQ(Execute(PollCommand{2, 1000}), kNoValidReply);
  EXPECT_THAT(OutputLines(),
              ElementsAre("live failed  successes 0  failures 1  error rate 100.0000%",
                          "live failed  successes 0  failures 2  error rate 100.0000%",
                          "totals: polls 2  successes 0  failures 2  error rate 100.0000%",
                          "exchanges 4  replies 0  failures 4: no byte 4",
                          "reply latency: no reply"));
}

TEST_F(FastPollCommandTest, WithoutADecimalPointReadNoValueIsGood) {
  meter.SetDecimalPoint(3);
  SilenceRegisters(0x0006, 0x0006);

  EXPECT_EQ(Execute(PollCommand{1, 1000}), kNoValidReply);
  EXPECT_THAT(OutputLines().front(), StartsWith("live failed  successes 0  failures 1"));
}

TEST_F(FastPollCommandTest, AStopRequestPrintsTheTotalsAndExitsWithZero) {
  Silence();
  io_.stopRequested = [this] { return OutputLines().size() >= 2; };

  EXPECT_EQ(Execute(PollCommand{}), kDone);
  const std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 5U);
  EXPECT_THAT(lines[2], StartsWith("totals: polls 2  successes 0  failures 2"));
}

TEST_F(FastPollCommandTest, JsonTicksCarryTheLiveValueWithFourDecimals) {
  io_.format = OutputFormat::Json;
  io_.wallClock = [] { return std::chrono::system_clock::time_point{}; };

  EXPECT_EQ(Execute(PollCommand{1, 1000}), kDone);
  EXPECT_THAT(
      OutputLines(),
      ElementsAre("{\"time\":\"1970-01-01T00:00:00.000Z\",\"live\":10.0000,\"ok\":true,"
                  "\"successes\":1,\"failures\":0,\"error_rate\":0.0000}",
                  StartsWith("{\"time\":\"1970-01-01T00:00:00.000Z\",\"totals\":true,\"polls\":1,"
                             "\"successes\":1,\"failures\":0,\"error_rate\":0.0000,")));
}

class LogCommandTest : public FastPollCommandTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    io_.logFile = (dir_.path() + "/Table.txt").toStdString();
    // 2006-12-15 02:30:45 UTC, 10:30:45 at the meter.
    io_.wallClock = [] { return std::chrono::system_clock::from_time_t(1166149845); };
  }

  std::string LogText() const {
    std::ifstream in(io_.logFile, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  QTemporaryDir dir_;
};

TEST_F(LogCommandTest, AppendsABlockEveryIntervalAfterAFullInterval) {
  EXPECT_EQ(Execute(LogCommand{2, 2}), kDone);

  const std::string file = io_.logFile.string();
  EXPECT_THAT(OutputLines(),
              ElementsAre(StartsWith("live "), StartsWith("live "), StartsWith("live "),
                          "block 1 appended to " + file, StartsWith("live "), StartsWith("live "),
                          "block 2 appended to " + file, StartsWith("totals:"),
                          StartsWith("exchanges "), StartsWith("reply latency: ")));
  const std::string log = LogText();
  const std::string stamp = "\r\n2006/12/15   10:30:45\r\n";
  const std::size_t first = log.find(stamp);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(log.find(stamp, first + 1), std::string::npos);
}

TEST_F(LogCommandTest, TheLoggedCurrentIsTheLatestPolledValue) {
  meter.SetDecimalPoint(0);
  meter.SetLiveBase(1234);

  EXPECT_EQ(Execute(LogCommand{1, 1}), kDone);
  // Ticks at 0 and 1000 ms, then the block.
  const std::vector<std::string> lines = OutputLines();
  ASSERT_GE(lines.size(), 3U);
  ASSERT_THAT(lines[1], StartsWith("live "));
  const std::string latest = lines[1].substr(5, lines[1].find('.') - 5);
  ASSERT_NE(latest, std::string("1234"));
  // "相 电 流:" in GBK, then the combined and phase A currents.
  const std::string currentLabel = "\xCF\xE0 \xB5\xE7 \xC1\xF7:";
  const std::string log = LogText();
  const std::size_t line = log.find(currentLabel);
  ASSERT_NE(line, std::string::npos);
  EXPECT_EQ(log.substr(line + currentLabel.size(), 24),
            std::string(12 - latest.size(), ' ') + latest + std::string(12 - latest.size(), ' ') +
                latest);
}

TEST_F(LogCommandTest, AFileThatCannotBeWrittenIsReportedAndLoggingGoesOn) {
  io_.logFile = (dir_.path() + "/missing/Table.txt").toStdString();

  EXPECT_EQ(Execute(LogCommand{1, 2}), kLogNotWritten);
  const std::string failure = "文件打开不成功: " + io_.logFile.string();
  EXPECT_THAT(OutputLines(), ::testing::Contains(failure).Times(2));
}

}  // namespace
}  // namespace zt::cli::test

namespace zt::cli::test {
namespace {

// The log over a session whose waits run the log's own work, as zt6100ctl's
// are: the same meter line, its transaction on a SideWorkClock.
class LogAtItsIntervalTest : public ::testing::Test, public CliFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    io_.logFile = (dir_.path() + "/Table.txt").toStdString();
    io_.format = OutputFormat::Json;
    io_.wallClock = [this] { return std::chrono::system_clock::time_point(clock.Now()); };
    io_.sideWork = &side_;
  }

  // When each block was appended, from the stamps of its lines.
  std::vector<std::string> BlockTimes() const {
    std::vector<std::string> times;
    for (const std::string& line : OutputLines()) {
      if (line.find("\"block\":") != std::string::npos) {
        times.push_back(line.substr(line.find("T00:") + 4, 9));
      }
    }
    return times;
  }

  QTemporaryDir dir_;
  SideWorkClock side_{clock};
  Transaction sideLink_{port, side_};
  MeterSession sideSession_{sideLink_, settings_};
};

TEST_F(LogAtItsIntervalTest, BlocksKeepTheirIntervalThroughThePollsWaits) {
  EXPECT_EQ(RunLog(LogCommand{1, 6}, sideSession_, io_), kDone);

  EXPECT_THAT(BlockTimes(), ElementsAre("00:01.000", "00:02.000", "00:03.000", "00:04.000",
                                        "00:05.000", "00:06.000"));
  // The polls are not moved by it: back to back, 1.5 s each.
  EXPECT_THAT(TickStarts(port), ElementsAre(milliseconds(0), milliseconds(1500),
                                            milliseconds(3000), milliseconds(4500)));
  std::ifstream log(io_.logFile, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
  std::size_t stamps = 0;
  for (std::size_t at = text.find("1970/01/01"); at != std::string::npos;
       at = text.find("1970/01/01", at + 1)) {
    ++stamps;
  }
  EXPECT_EQ(stamps, 6U);
}

}  // namespace
}  // namespace zt::cli::test
