#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/request_parser.h"

namespace zt::sim {
namespace {

ParsedOptions Parse(std::vector<std::string_view> arguments) { return ParseSimOptions(arguments); }

struct OptionRow {
  std::string name;
  std::vector<std::string_view> arguments;
  std::function<void(const SimOptions&)> check;
};

class SimOptionRows : public ::testing::TestWithParam<OptionRow> {};

TEST_P(SimOptionRows, SetWhatTheyName) {
  const ParsedOptions parsed = Parse(GetParam().arguments);
  ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
  GetParam().check(*parsed.options);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SimOptionRows,
    ::testing::Values(OptionRow{"Defaults",
                                {},
                                [](const SimOptions& o) {
                                  EXPECT_EQ(o.address, 1);
                                  EXPECT_EQ(o.baudIndex, 3);
                                  EXPECT_EQ(o.parity, kParityNone);
                                  EXPECT_EQ(o.latency, kDefaultReplyLatency);
                                  EXPECT_FALSE(o.device.has_value());
                                  EXPECT_FALSE(o.lineTiming);
                                }},
                      OptionRow{"Link",
                                {"--address", "0x11", "--baud", "19200", "--parity", "odd",
                                 "--latency", "5", "--line-timing", "--device", "/dev/ttyUSB0"},
                                [](const SimOptions& o) {
                                  EXPECT_EQ(o.address, 17);
                                  EXPECT_EQ(o.baudIndex, 4);
                                  EXPECT_EQ(o.parity, kParityOdd);
                                  EXPECT_EQ(o.latency, std::chrono::milliseconds(5));
                                  EXPECT_TRUE(o.lineTiming);
                                  EXPECT_EQ(o.device, "/dev/ttyUSB0");
                                }},
                      OptionRow{"Faults",
                                {"--silent", "--late", "700", "--noise", "3", "--bad-crc",
                                 "--foreign-address", "--exception", "--truncate", "2", "--burst"},
                                [](const SimOptions& o) {
                                  const FaultConfig& f = o.faults;
                                  EXPECT_TRUE(f.silent && f.flipCrcBit && f.foreignAddress &&
                                              f.exceptionReply && f.burst);
                                  EXPECT_EQ(f.extraDelay, std::chrono::milliseconds(700));
                                  EXPECT_EQ(f.noiseBytes, 3U);
                                  EXPECT_EQ(f.truncateBytes, 2U);
                                }},
                      OptionRow{"FaultRegisters",
                                {"--fault-registers", "0x0110:0x0112"},
                                [](const SimOptions& o) {
                                  Request clock;
                                  clock.function = 3;
                                  clock.first = 0x0112;
                                  clock.word = 1;
                                  Request other = clock;
                                  other.first = 0x0006;
                                  EXPECT_TRUE(o.faults.AppliesTo(clock));
                                  EXPECT_FALSE(o.faults.AppliesTo(other));
                                }},
                      OptionRow{"MisbehavingLine",
                                {"--echo", "--link", "/tmp/meter", "--timestamps", "--fault-share", "20",
                                 "--max-late", "1150", "--seed", "7", "--distinct-live"},
                                [](const SimOptions& o) {
                                  EXPECT_TRUE(o.localEcho && o.timestamps);
                                  EXPECT_EQ(o.linkPath, "/tmp/meter");
                                  EXPECT_EQ(o.faultMix.percent, 20U);
                                  EXPECT_EQ(o.faultMix.maxLate, std::chrono::milliseconds(1150));
                                  EXPECT_EQ(o.faultMix.seed, 7U);
                                  MeterModel meter;
                                  ApplyOptions(o, meter);
                                  EXPECT_EQ(meter.NextLiveValue(), MeterModel::kFirstDistinctLiveValue);
                                }},
                      OptionRow{"InitialValues",
                                {"--decimal-point", "3", "--upper", "65535", "--lower", "0",
                                 "--relay", "2", "--input", "1", "--live", "500",
                                 "--parameter-baud", "7", "--clock", "2006-12-15T10:30:45"},
                                [](const SimOptions& o) {
                                  MeterModel meter;
                                  ApplyOptions(o, meter);
                                  EXPECT_EQ(meter.DecimalPoint(), 3);
                                  EXPECT_EQ(meter.UpperLimit(), 65535);
                                  EXPECT_EQ(meter.LowerLimit(), 0);
                                  EXPECT_EQ(meter.RelayOutput(), 2);
                                  EXPECT_EQ(meter.SwitchInput(), 1);
                                  EXPECT_EQ(meter.NextLiveValue(), 500);
                                  EXPECT_EQ(meter.ParameterBaud(), 7);
                                  EXPECT_EQ(meter.Clock(), (MeterClock{2006, 12, 15, 10, 30, 45}));
                                }}),
    [](const auto& row) { return row.param.name; });

TEST(SimOptions, BadOptionsAreRefusedWithAReason) {
  const std::vector<std::vector<std::string_view>> rows = {
      {"--baud", "9601"},  {"--baud"},
      {"--address", "256"}, {"--clock", "2006-12-15 10:30:45"},
      {"--fault-registers", "9:3"}, {"--fault-share", "101"},
      {"--link"},           {"--frobnicate"}};
  for (const std::vector<std::string_view>& arguments : rows) {
    SCOPED_TRACE(std::string(arguments.front()) + (arguments.size() > 1 ? " ..." : ""));
    const ParsedOptions parsed = Parse(arguments);
    EXPECT_FALSE(parsed.options.has_value());
    EXPECT_FALSE(parsed.help);
    EXPECT_FALSE(parsed.error.empty());
  }
}

TEST(SimOptions, HelpIsAskedForAndTheUsageNamesEveryFault) {
  EXPECT_TRUE(Parse({"--baud", "9600", "--help"}).help);
  const std::string_view usage = UsageText();
  for (const std::string_view option :
       {"--silent", "--late", "--noise", "--bad-crc", "--foreign-address", "--exception",
        "--truncate", "--burst", "--device", "--line-timing"}) {
    EXPECT_NE(usage.find(option), std::string_view::npos) << option;
  }
}

}  // namespace
}  // namespace zt::sim
