// The one-shot commands over the simulated meter: what reaches the meter,
// what is printed and which exit status a script sees.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "cli/exit_status.h"
#include "cli_fixture.h"

namespace zt::cli::test {
namespace {

using std::chrono::milliseconds;
using ::testing::HasSubstr;

class MeterCommands : public ::testing::Test, public CliFixture {
 protected:
  // Ctrl-C as it comes while the `nth` request (from 1) is on the line.
  void StopDuringRequest(int nth) {
    session_.SetStopRequest(&stop_);
    port.SetFaultObserver([this, nth](const sim::Request&, sim::FaultKind) {
      if (++requests_ == nth) {
        stop_ = true;
      }
    });
  }

  std::atomic<bool> stop_{false};
  int requests_ = 0;
};

TEST_F(MeterCommands, ReadParamsPrintsTheBlockAsTheConsoleShowsIt) {
  meter.SetUpperLimit(65535);
  meter.SetParameterBaud(4);

  EXPECT_EQ(Execute(ReadParamsCommand{}), kDone);
  EXPECT_EQ(out_.str(),
            "upper threshold: 65535\nlower threshold: 100\ndecimal point: 2\nbaud rate: 19200\n");
}

TEST_F(MeterCommands, ReadParamsWithOneSilentRegisterStillReadsTheOthers) {
  SilenceRegisters(0x0304, 0x0304);

  EXPECT_EQ(Execute(ReadParamsCommand{}), kNoValidReply);
  EXPECT_THAT(out_.str(), HasSubstr("lower threshold: no reply\n"));
  EXPECT_THAT(out_.str(), HasSubstr("baud rate: 9600"));
}

TEST_F(MeterCommands, WriteParamsSendsTheRateAsItsCode) {
  EXPECT_EQ(Execute(WriteParamsCommand{{4000, 50, 1, 19200}}), kDone);

  EXPECT_EQ(meter.UpperLimit(), 4000);
  EXPECT_EQ(meter.LowerLimit(), 50);
  EXPECT_EQ(meter.DecimalPoint(), 1);
  EXPECT_EQ(meter.ParameterBaud(), 4);
  EXPECT_THAT(out_.str(), HasSubstr("写数据成功！"));
}

TEST_F(MeterCommands, WriteParamsNamesTheWriteTheMeterDidNotEcho) {
  SilenceRegisters(0x0304, 0x0304);

  EXPECT_EQ(Execute(WriteParamsCommand{{4000, 50, 1, 9600}}), kNoValidReply);
  EXPECT_THAT(out_.str(), HasSubstr("写数据不成功: 下限阀值\n"));
  // The later writes are still sent, after the read that tells whether the
  // line echoes.
  EXPECT_EQ(port.Written().size(), 5U);
}

TEST_F(MeterCommands, SetAddressIsConfirmedAndTakenByTheMeter) {
  EXPECT_EQ(Execute(SetAddressCommand{9}), kDone);

  EXPECT_EQ(meter.Address(), 9);
  EXPECT_EQ(out_.str(), "address 9: 写本机地址成功！\n");
}

TEST_F(MeterCommands, SwitchStatusTreatsOnlyOneAsOnOrClosed) {
  meter.SetRelayOutput(1);
  meter.SetSwitchInput(2);

  EXPECT_EQ(Execute(SwitchStatusCommand{}), kDone);
  EXPECT_EQ(out_.str(), "relay output: 通 (on)\nswitch input: 分 (open)\n");
}

TEST_F(MeterCommands, SetupWritesRatiosAndWiring) {
  EXPECT_EQ(Execute(SetupCommand{200, 50, 4}), kDone);

  EXPECT_EQ(meter.PtRatio(), 200);
  EXPECT_EQ(meter.CtRatio(), 50);
  EXPECT_EQ(meter.Wiring(), 4);
  EXPECT_THAT(out_.str(), HasSubstr("设置仪表参数成功"));
}

TEST_F(MeterCommands, SetupStopsAtTheFirstUnconfirmedWrite) {
  SilenceRegisters(0x0004, 0x0005);

  EXPECT_EQ(Execute(SetupCommand{200, 50, 4}), kNoValidReply);
  EXPECT_EQ(port.Written().size(), 3U) << "the echo probe, PT and CT";
  EXPECT_EQ(out_.str(),
            "PT ratio 200: confirmed\nCT ratio 50: not confirmed\nwiring mode 4: not sent\n"
            "设置CT不成功\n");
}

TEST_F(MeterCommands, SetBaudChangesTheMetersLineAfterItsEcho) {
  EXPECT_EQ(Execute(SetBaudCommand{19200}), kDone);

  EXPECT_EQ(meter.LineBaudIndex(), 4);
  EXPECT_EQ(out_.str(), "meter baud rate: 19200, confirmed\n");
}

TEST_F(MeterCommands, JsonOutputIsOneObjectPerCommand) {
  io_.format = OutputFormat::Json;
  io_.wallClock = [] { return std::chrono::system_clock::time_point{}; };
  SilenceRegisters(0x0006, 0x0006);

  EXPECT_EQ(Execute(ReadParamsCommand{}), kNoValidReply);
  EXPECT_EQ(out_.str(),
            "{\"time\":\"1970-01-01T00:00:00.000Z\",\"upper_limit\":5000,\"lower_limit\":100,\"decimal_point\":null,\"baud\":9600}\n");
}

TEST(UnansweredCommands, ExitWithOneAndPrintTheConsolesMessage) {
  const struct {
    Command command;
    const char* output;
  } cases[] = {
      {SetAddressCommand{9}, "address 9: 写本机地址不成功\n"},
      {SwitchStatusCommand{}, "switch status: no reply\n"},
      {ClockCommand{}, "读时间不成功\n"},
      {SetBaudCommand{19200}, "改变波特率不成功\n"},
  };
  for (const auto& c : cases) {
    CliFixture fixture;
    fixture.Silence();
    EXPECT_EQ(fixture.Execute(c.command), kNoValidReply) << c.output;
    EXPECT_EQ(fixture.out_.str(), c.output);
  }
}

// Without --fast every command waits exactly what the console waits; the
// first write on a fresh line comes after one 600 ms read that tells whether
// the line echoes.
TEST(MeterCommandWaits, WithoutFastTheConsolesFixedWaitsAreKept) {
  const struct {
    Command command;
    milliseconds wait;
  } cases[] = {
      {ReadParamsCommand{}, milliseconds(4 * 600)},
      {WriteParamsCommand{{1, 2, 3, 9600}}, milliseconds(600 + 4 * 300)},
      {SetAddressCommand{1}, milliseconds(600 + 300)},
      {SwitchStatusCommand{}, milliseconds(600)},
      {ClockCommand{}, milliseconds(300)},
      {SetupCommand{1, 1, 0}, milliseconds(600 + 3 * 300)},
      {SetBaudCommand{9600}, milliseconds(600 + 300)},
  };
  for (const auto& c : cases) {
    CliFixture fixture;
    EXPECT_EQ(fixture.Execute(c.command), kDone) << c.command.index();
    EXPECT_EQ(fixture.clock.Now(), c.wait) << c.command.index();
  }
}

TEST(MeterCommandWaits, WithFastEveryExchangeEndsWellBeforeItsFixedWait) {
  const struct {
    Command command;
    int exchanges;
  } cases[] = {
      {ReadParamsCommand{}, 4},  {WriteParamsCommand{{1, 2, 3, 9600}}, 1 + 4},
      {SetAddressCommand{1}, 1 + 1}, {SwitchStatusCommand{}, 1},
      {ClockCommand{}, 1},       {SetupCommand{1, 1, 0}, 1 + 3},
      {SetBaudCommand{9600}, 1 + 1},
  };
  for (const auto& c : cases) {
    CliFixture fixture(true);
    EXPECT_EQ(fixture.Execute(c.command), kDone) << c.command.index();
    // About 45 ms an exchange at 9600 bit/s, against at least 300 ms fixed.
    EXPECT_LT(fixture.clock.Now(), milliseconds(60) * c.exchanges) << c.command.index();
  }
}

}  // namespace
}  // namespace zt::cli::test

namespace zt::cli::test {
namespace {

TEST_F(MeterCommands, AStopDuringWriteParamsEndsBetweenWritesAndSaysWhichWereSent) {
  // The echo read, the decimal point's write, then Ctrl-C during the upper
  // threshold's: that write is made and confirmed, the two after it are not sent.
  StopDuringRequest(3);

  EXPECT_EQ(Execute(WriteParamsCommand{{4000, 50, 1, 19200}}), kStopped);
  EXPECT_EQ(out_.str(),
            "decimal point: confirmed\nupper threshold: confirmed\n"
            "lower threshold: not sent, stopped on request\n"
            "baud rate: not sent, stopped on request\n"
            "stopped on request after 2 of 4 writes\n");
  EXPECT_EQ(port.Written().size(), 3U);
  EXPECT_EQ(meter.UpperLimit(), 4000);
  EXPECT_NE(meter.LowerLimit(), 50);
}

TEST_F(MeterCommands, AStopDuringSetupOrBeforeAnAddressChangeSendsNothingMore) {
  StopDuringRequest(2);  // the PT write, after the echo read
  EXPECT_EQ(Execute(SetupCommand{10, 5, 1}), kStopped);
  EXPECT_THAT(out_.str(), HasSubstr("PT ratio 10: confirmed\nCT ratio 5: not sent\n"
                                    "wiring mode 1: not sent\n"
                                    "stopped on request after 1 of 3 writes\n"));
  EXPECT_EQ(port.Written().size(), 2U);

  out_.str("");
  EXPECT_EQ(Execute(SetAddressCommand{9}), kStopped);
  EXPECT_EQ(out_.str(), "address 9: not sent, stopped on request\n");
  EXPECT_EQ(port.Written().size(), 2U);
  EXPECT_EQ(meter.Address(), 1);
}

TEST_F(MeterCommands, AStopBetweenReadsMarksTheReadsNotMade) {
  io_.format = OutputFormat::Json;
  io_.wallClock = [] { return std::chrono::system_clock::time_point{}; };
  StopDuringRequest(1);

  EXPECT_EQ(Execute(ReadParamsCommand{}), kStopped);
  EXPECT_THAT(out_.str(), HasSubstr("\"upper_limit\":5000,\"lower_limit\":null,\"decimal_point\":null,"
                                    "\"baud\":null,\"stopped\":true,\"reads_made\":1}"));
}

}  // namespace
}  // namespace zt::cli::test
