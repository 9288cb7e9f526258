// What zt6100ctl writes for a technician to read later: the frame trace, the
// CSV of a poll, the time of every JSON line and the failures by cause in the
// totals, over the simulated meter in virtual time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/link_report.h"
#include "cli/poll_report.h"
#include "cli/report_time.h"
#include "cli_fixture.h"
#include "sim/fault_config.h"

namespace zt::cli::test {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;
using ::testing::StartsWith;

// 2026-12-07 10:13:44.123 UTC.
std::chrono::system_clock::time_point SomeMoment() {
  using namespace std::chrono;
  return sys_days{year{2026} / December / 7} + hours{10} + minutes{13} + seconds{44} +
         milliseconds{123};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Direction(const std::vector<std::string>& trace, std::string_view dir) {
  std::vector<std::string> picked;
  for (const std::string& line : trace) {
    if (line.substr(10, dir.size()) == dir) {
      picked.push_back(line);
    }
  }
  return picked;
}

class TraceTest : public ::testing::TestWithParam<bool> {};

TEST_P(TraceTest, RecordsEveryFrameTheMeterGotAtItsTimeAndMovesNone) {
  const bool fast = GetParam();
  const auto faulty = [](CliFixture& run) {
    run.port.SetFaultMix({35, milliseconds(1300), 0x5EED});
    return run.Execute(PollCommand{40, 0});
  };
  CliFixture traced(fast);
  traced.transaction.SetFrameObserver(TraceTo(traced.err_, traced.transaction.CreatedAt()));
  CliFixture plain(fast);
  EXPECT_EQ(faulty(traced), faulty(plain));

  // Not a byte nor a microsecond differs on the wire.
  ASSERT_EQ(traced.Frames(), plain.Frames());
  EXPECT_EQ(traced.out_.str(), plain.out_.str());

  const std::vector<std::string> trace = Lines(traced.err_.str());
  std::vector<std::string> sent;
  for (const sim::WrittenFrame& frame : traced.port.Written()) {
    sent.push_back(
        FormatFrameRecord({0, frame.at, FrameDirection::Sent, frame.bytes, "request"},
                          traced.transaction.CreatedAt()));
  }
  EXPECT_EQ(Direction(trace, "TX"), sent);
  // One look at the line per request, and late replies thrown away.
  EXPECT_EQ(Direction(trace, "RX").size(), sent.size());
  EXPECT_FALSE(Direction(trace, "LATE").empty());
  EXPECT_EQ(trace.size(), 2 * sent.size() + Direction(trace, "LATE").size());
}

INSTANTIATE_TEST_SUITE_P(Waits, TraceTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

TEST(TraceLine, ShowsTimeDirectionBytesAndVerdict) {
  CliFixture run;
  run.transaction.SetFrameObserver(TraceTo(run.err_, run.transaction.CreatedAt()));
  run.SilenceRegisters(0x0000, 0x0000);
  run.Execute(PollCommand{1, 0});
  EXPECT_THAT(Lines(run.err_.str()),
              ElementsAre("    0.000 TX   01 03 00 06 00 01 64 0B  request",
                          "    0.600 RX   01 03 02 00 02 39 85  reply",
                          "    0.900 TX   01 03 00 00 00 01 84 0A  request",
                          "    1.500 RX   -  no byte"));
}

class CsvTest : public ::testing::Test, public CliFixture {
 protected:
  void SetUp() override {
    io_.format = OutputFormat::Csv;
    io_.wallClock = SomeMoment;
  }
};

TEST_F(CsvTest, PollPrintsAHeaderThenARowPerPollAndTheTotalsBeside) {
  Execute(PollCommand{1, 0});
  SilenceRegisters(0x0000, 0x0000);
  Execute(PollCommand{1, 0});
  EXPECT_THAT(OutputLines(),
              ElementsAre(std::string(kPollCsvHeader),
                          "2026-12-07T10:13:44.123Z,10.0000,2,true,,1,0,0.0000",
                          std::string(kPollCsvHeader),
                          "2026-12-07T10:13:44.123Z,,2,false,no_bytes,0,1,100.0000"));
  EXPECT_THAT(Lines(err_.str()), ElementsAre(StartsWith("totals: polls 1  successes 1"),
                                             StartsWith("exchanges 2  replies 2"),
                                             StartsWith("reply latency: min "),
                                             StartsWith("totals: polls 1  successes 0"),
                                             "exchanges 4  replies 3  failures 1: no byte 1",
                                             StartsWith("reply latency: min ")));
}

TEST_F(CsvTest, ACauseCarriesTheExceptionCode) {
  sim::FaultConfig refuse;
  refuse.exceptionReply = true;
  refuse.exceptionCode = sim::ExceptionCode::IllegalDataValue;
  refuse.appliesTo = sim::TouchingRegisters(0x0000, 0x0000);
  port.SetFaults(refuse);
  Execute(PollCommand{1, 0});
  EXPECT_EQ(OutputLines().at(1), "2026-12-07T10:13:44.123Z,,2,false,exception_03,0,1,100.0000");
}

class JsonTimeTest : public ::testing::Test, public CliFixture {
 protected:
  void SetUp() override {
    io_.format = OutputFormat::Json;
    io_.wallClock = SomeMoment;
  }
};

TEST_F(JsonTimeTest, EveryLineStartsWithItsTime) {
  SilenceRegisters(0x0000, 0x0000);
  Execute(PollCommand{2, 0});
  Execute(ReadParamsCommand{});
  const std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 4U);
  for (const std::string& line : lines) {
    EXPECT_THAT(line, StartsWith("{\"time\":\"2026-12-07T10:13:44.123Z\",")) << line;
  }
  EXPECT_THAT(lines[2], ::testing::HasSubstr(
                            "\"exchanges\":4,\"replies\":2,\"failures_by_cause\":{\"no_bytes\":2,"
                            "\"too_few_bytes\":0,"));
  EXPECT_THAT(lines[2], ::testing::HasSubstr("\"exception_codes\":{},\"latency_ms\":{\"min\":"));
}

TEST(IsoUtcTime, KeepsTheMillisecondsAndThePreEpochDays) {
  using namespace std::chrono;
  EXPECT_EQ(IsoUtcTime(SomeMoment()), "2026-12-07T10:13:44.123Z");
  EXPECT_EQ(IsoUtcTime(system_clock::time_point{}), "1970-01-01T00:00:00.000Z");
  EXPECT_EQ(IsoUtcTime(system_clock::time_point{} - milliseconds(1)), "1969-12-31T23:59:59.999Z");
}

TEST(Stamped, PutsTheTimeFirstAndLeavesTextAlone) {
  EXPECT_EQ(Stamped("{}", SomeMoment()), "{\"time\":\"2026-12-07T10:13:44.123Z\"}");
  EXPECT_EQ(Stamped("{\"a\":1}", SomeMoment()), "{\"time\":\"2026-12-07T10:13:44.123Z\",\"a\":1}");
  EXPECT_EQ(Stamped("live 1", SomeMoment()), "live 1");
}

}  // namespace
}  // namespace zt::cli::test
