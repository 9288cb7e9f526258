// The command line of zt6100ctl: what is refused before anything is sent
// (exit status 2), and what an accepted line asks for.
#include "cli/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>

namespace zt::cli {
namespace {

using ::testing::HasSubstr;

ParsedCommandLine Parse(std::initializer_list<const char*> arguments) {
  QStringList list{QStringLiteral("zt6100ctl")};
  for (const char* argument : arguments) {
    list << QString::fromUtf8(argument);
  }
  return ParseCommandLine(list);
}

template <typename T>
T CommandOf(std::initializer_list<const char*> arguments) {
  const ParsedCommandLine parsed = Parse(arguments);
  EXPECT_TRUE(parsed.invocation) << parsed.error;
  if (!parsed.invocation) {
    return {};
  }
  const T* command = std::get_if<T>(&parsed.invocation->command);
  EXPECT_NE(command, nullptr);
  return command ? *command : T{};
}

std::string ErrorOf(std::initializer_list<const char*> arguments) {
  const ParsedCommandLine parsed = Parse(arguments);
  EXPECT_FALSE(parsed.invocation);
  EXPECT_FALSE(parsed.help);
  return parsed.error;
}

TEST(CommandLine, LinkDefaultsAreTheConsoles) {
  const ParsedCommandLine parsed = Parse({"read-params"});
  ASSERT_TRUE(parsed.invocation);
  const LinkOptions& link = parsed.invocation->link;
  EXPECT_EQ(link.settings, LinkSettings{});
  EXPECT_FALSE(link.device);
  EXPECT_FALSE(link.simulate);
  EXPECT_FALSE(link.fast);
  EXPECT_EQ(parsed.invocation->format, OutputFormat::Text);
}

TEST(CommandLine, CsvGoesBeforeTheCommandOrAfterPollAndLog) {
  for (const auto& arguments : {Parse({"--csv", "poll"}), Parse({"poll", "--csv"}),
                                Parse({"--csv", "log", "--interval", "5"})}) {
    ASSERT_TRUE(arguments.invocation) << arguments.error;
    EXPECT_EQ(arguments.invocation->format, OutputFormat::Csv);
  }
  EXPECT_EQ(ErrorOf({"--csv", "clock"}), "--csv is for poll and log, not clock");
  EXPECT_EQ(ErrorOf({"--csv", "--json", "poll"}), "give either --json or --csv, not both");
  EXPECT_EQ(ErrorOf({"clock", "--csv"}), "Unknown option 'csv'.");
}

TEST(CommandLine, GuardLimitInMilliseconds) {
  EXPECT_FALSE(Parse({"clock"}).invocation->link.guardLimit);
  const ParsedCommandLine parsed = Parse({"--guard-ms", "5000", "clock"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->link.guardLimit, std::chrono::milliseconds(5000));
  EXPECT_THAT(ErrorOf({"--guard-ms", "10001", "clock"}), HasSubstr("10000"));
  EXPECT_THAT(ErrorOf({"clock", "--guard-ms", "100"}),
              HasSubstr("--guard-ms is a link option: give it before the command"));
}

TEST(CommandLine, ReadsEveryLinkOption) {
  const ParsedCommandLine parsed = Parse({"--port", "2", "--address", "0", "--baud", "19200",
                                          "--parity", "even", "--fast", "--json", "clock"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  const LinkOptions& link = parsed.invocation->link;
  EXPECT_EQ(link.settings, (LinkSettings{0, 2, 19200, kParityEven}));
  EXPECT_TRUE(link.fast);
  EXPECT_EQ(parsed.invocation->format, OutputFormat::Json);
  EXPECT_TRUE(std::holds_alternative<ClockCommand>(parsed.invocation->command));
}

TEST(CommandLine, BaudBeforeTheCommandIsTheLinkAndAfterItTheMetersParameter) {
  const ParsedCommandLine parsed =
      Parse({"--device", "/dev/ttyUSB0", "--baud", "4800", "write-params", "--upper", "65535",
             "--lower", "-32768", "--decimal", "3", "--baud", "19200"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->link.settings.baudRate, 4800);
  EXPECT_EQ(parsed.invocation->link.device, "/dev/ttyUSB0");
  const auto& write = std::get<WriteParamsCommand>(parsed.invocation->command);
  EXPECT_EQ(write.values.upperLimit, 65535);
  EXPECT_EQ(write.values.lowerLimit, -32768);
  EXPECT_EQ(write.values.decimalPoint, 3);
  EXPECT_EQ(write.values.meterBaud, 19200);
}

TEST(CommandLine, WriteParamsTakesAnyRegisterValueForTheBaudAsTheConsoleDoes) {
  EXPECT_EQ(CommandOf<WriteParamsCommand>(
                {"write-params", "--upper", "1", "--lower", "1", "--decimal", "1", "--baud", "3"})
                .values.meterBaud,
            3);
}

TEST(CommandLine, ReadsTheArgumentsOfEachCommand) {
  const PollCommand poll = CommandOf<PollCommand>({"poll", "--count", "5", "--period", "0"});
  EXPECT_EQ(poll.count, 5);
  EXPECT_EQ(poll.periodMs, 0U);
  EXPECT_EQ(CommandOf<PollCommand>({"poll"}).count, std::nullopt);
  EXPECT_EQ(CommandOf<PollCommand>({"poll"}).periodMs, 1000U);

  EXPECT_EQ(CommandOf<SetAddressCommand>({"set-address", "255"}).newAddress, 255);
  EXPECT_EQ(CommandOf<SetBaudCommand>({"set-baud", "1200"}).rate, 1200);

  const SetupCommand setup =
      CommandOf<SetupCommand>({"setup", "--pt", "64000", "--ct", "1", "--wiring", "5"});
  EXPECT_EQ(setup.pt, 64000);
  EXPECT_EQ(setup.ct, 1);
  EXPECT_EQ(setup.wiring, 5);

  const LogCommand log = CommandOf<LogCommand>({"log", "--interval", "2147483", "--count", "1"});
  EXPECT_EQ(log.intervalSeconds, 2147483U);
  EXPECT_EQ(log.count, 1);
}

TEST(CommandLine, HelpAnywhereAsksForHelp) {
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_TRUE(Parse({"--fast", "poll", "--help"}).help);
}

TEST(CommandLineRefusals, MissingOrUnknownCommand) {
  EXPECT_EQ(ErrorOf({}), "no command given");
  EXPECT_EQ(ErrorOf({"--fast"}), "no command given");
  EXPECT_EQ(ErrorOf({"reboot"}), "unknown command 'reboot'");
  EXPECT_THAT(ErrorOf({"--colour", "poll"}), HasSubstr("colour"));
  EXPECT_THAT(ErrorOf({"poll", "--upper", "1"}), HasSubstr("upper"));
  EXPECT_EQ(ErrorOf({"clock", "now"}), "clock takes no argument 'now'");
}

TEST(CommandLineRefusals, ALinkOptionAfterTheCommandIsPointedBack) {
  EXPECT_EQ(ErrorOf({"poll", "--device", "/dev/ttyUSB0"}),
            "--device is a link option: give it before the command");
  EXPECT_EQ(ErrorOf({"clock", "--fast"}), "--fast is a link option: give it before the command");
}

TEST(CommandLineRefusals, LinkValuesOutsideTheConsolesChoices) {
  EXPECT_THAT(ErrorOf({"--port", "3", "clock"}), HasSubstr("between 1 and 2"));
  EXPECT_THAT(ErrorOf({"--port", "0", "clock"}), HasSubstr("between 1 and 2"));
  EXPECT_THAT(ErrorOf({"--address", "256", "clock"}), HasSubstr("between 0 and 255"));
  EXPECT_THAT(ErrorOf({"--address", "-1", "clock"}), HasSubstr("between 0 and 255"));
  EXPECT_THAT(ErrorOf({"--address", "+1", "clock"}), HasSubstr("between 0 and 255"));
  EXPECT_THAT(ErrorOf({"--address", "1x", "clock"}), HasSubstr("between 0 and 255"));
  EXPECT_THAT(ErrorOf({"--baud", "9601", "clock"}), HasSubstr("1200, 2400, 4800, 9600 or 19200"));
  EXPECT_THAT(ErrorOf({"--baud", "99999999999", "clock"}), HasSubstr("19200"));
  EXPECT_THAT(ErrorOf({"--parity", "mark", "clock"}), HasSubstr("none, odd or even"));
  EXPECT_THAT(ErrorOf({"--address", "1", "--address", "2", "clock"}), HasSubstr("more than once"));
  EXPECT_THAT(ErrorOf({"--address"}), HasSubstr("address"));
}

TEST(CommandLineRefusals, ConflictingWaysToReachTheMeter) {
  EXPECT_THAT(ErrorOf({"--simulate", "--device", "/dev/pts/1", "clock"}), HasSubstr("--simulate"));
  EXPECT_THAT(ErrorOf({"--simulate", "--port", "2", "clock"}), HasSubstr("--simulate"));
  EXPECT_THAT(ErrorOf({"--port", "2", "--device", "/dev/pts/1", "clock"}),
              HasSubstr("either --port or --device"));
  EXPECT_THAT(ErrorOf({"--device", "", "clock"}), HasSubstr("needs a path"));
}

TEST(CommandLineRefusals, ParameterValuesMustFitARegisterAndTheMessageNamesTheBox) {
  const auto write = [](const char* upper, const char* lower, const char* decimal,
                        const char* baud) {
    return ErrorOf(
        {"write-params", "--upper", upper, "--lower", lower, "--decimal", decimal, "--baud", baud});
  };
  EXPECT_EQ(write("65536", "0", "0", "9600"),
            "--upper (上限阀值): enter an integer between -32768 and 65535, not '65536'");
  EXPECT_THAT(write("0", "-32769", "0", "9600"), HasSubstr("下限阀值"));
  EXPECT_THAT(write("0", "0", "x", "9600"), HasSubstr("小数点"));
  EXPECT_THAT(write("0", "0", "0", "70000"), HasSubstr("波特率"));
  EXPECT_EQ(ErrorOf({"write-params", "--upper", "1", "--decimal", "1", "--baud", "9600"}),
            "write-params needs --lower");
}

TEST(CommandLineRefusals, AddressRatiosWiringAndRates) {
  EXPECT_THAT(ErrorOf({"set-address", "256"}), HasSubstr("between 0 and 255"));
  EXPECT_THAT(ErrorOf({"set-address", "five"}), HasSubstr("between 0 and 255"));
  EXPECT_EQ(ErrorOf({"set-address"}), "set-address needs one argument, NEW");
  EXPECT_EQ(ErrorOf({"set-address", "1", "2"}), "set-address needs one argument, NEW");

  EXPECT_THAT(ErrorOf({"setup", "--pt", "0", "--ct", "1", "--wiring", "0"}),
              HasSubstr("between 1 and 64000"));
  EXPECT_THAT(ErrorOf({"setup", "--pt", "1", "--ct", "64001", "--wiring", "0"}),
              HasSubstr("between 1 and 64000"));
  EXPECT_THAT(ErrorOf({"setup", "--pt", "1", "--ct", "1", "--wiring", "6"}),
              HasSubstr("between 0 and 5"));
  EXPECT_EQ(ErrorOf({"setup", "--pt", "1", "--ct", "1"}), "setup needs --wiring");

  EXPECT_THAT(ErrorOf({"set-baud", "115200"}), HasSubstr("1200, 2400, 4800, 9600 or 19200"));
  EXPECT_EQ(ErrorOf({"set-baud"}), "set-baud needs one argument, RATE");
}

TEST(CommandLineRefusals, CountsPeriodsAndIntervals) {
  EXPECT_THAT(ErrorOf({"poll", "--count", "0"}), HasSubstr("--count"));
  EXPECT_THAT(ErrorOf({"poll", "--period", "-1"}), HasSubstr("--period"));
  EXPECT_THAT(ErrorOf({"poll", "--count", "1", "--count", "2"}), HasSubstr("more than once"));
  EXPECT_EQ(ErrorOf({"log"}), "log needs --interval");
  EXPECT_THAT(ErrorOf({"log", "--interval", "0"}), HasSubstr("between 1 and 2147483"));
  EXPECT_THAT(ErrorOf({"log", "--interval", "2147484"}), HasSubstr("between 1 and 2147483"));
}

}  // namespace
}  // namespace zt::cli

namespace zt::cli {
namespace {

TEST(ScanCommandLine, DefaultsToEveryAddressAtFiveRatesWithoutParity) {
  const ScanCommand scan = CommandOf<ScanCommand>({"scan"});
  EXPECT_EQ(scan.plan.addresses.size(), 247u);
  EXPECT_EQ(scan.plan.lines, DefaultScanPlan().lines);
  EXPECT_FALSE(scan.plan.stopAtFirst);
  // A parity list alone keeps the default rates in their order.
  const ScanCommand even = CommandOf<ScanCommand>({"scan", "--parities", "even"});
  ASSERT_EQ(even.plan.lines.size(), 5u);
  EXPECT_EQ(even.plan.lines.front(), (ScanLine{DefaultScanPlan().lines.front().baudRate, kParityEven}));
  EXPECT_EQ(scan.plan.turnaround, ScanPlan::kDefaultTurnaround);
}

TEST(ScanCommandLine, ReadsItsLists) {
  const ScanCommand scan =
      CommandOf<ScanCommand>({"--echo", "on", "scan", "--addresses", "1-3,20", "--rates",
                              "19200,1200", "--parities", "none,even", "--first", "--wait", "40"});
  EXPECT_EQ(scan.plan.addresses, (std::vector<uint8_t>{1, 2, 3, 20}));
  EXPECT_EQ(scan.plan.lines, (std::vector<ScanLine>{{19200, kParityNone},
                                                    {1200, kParityNone},
                                                    {19200, kParityEven},
                                                    {1200, kParityEven}}));
  EXPECT_TRUE(scan.plan.stopAtFirst);
  EXPECT_EQ(scan.plan.turnaround, std::chrono::milliseconds(40));
  EXPECT_EQ(scan.plan.echo, LocalEcho::On);
}

TEST(ScanCommandLine, Refusals) {
  EXPECT_THAT(ErrorOf({"scan", "--addresses", "0-5"}), HasSubstr("--addresses"));
  EXPECT_THAT(ErrorOf({"scan", "--addresses", "9-3"}), HasSubstr("--addresses"));
  EXPECT_THAT(ErrorOf({"scan", "--rates", "9600,300"}), HasSubstr("'300'"));
  EXPECT_THAT(ErrorOf({"scan", "--parities", "none,mark"}), HasSubstr("'mark'"));
  EXPECT_THAT(ErrorOf({"scan", "--wait", "0"}), HasSubstr("--wait"));
  EXPECT_THAT(ErrorOf({"--address", "3", "scan"}), HasSubstr("leave out --address"));
  EXPECT_THAT(ErrorOf({"--baud", "19200", "scan"}), HasSubstr("leave out --baud"));
  EXPECT_THAT(ErrorOf({"--parity", "odd", "scan"}), HasSubstr("leave out --parity"));
}

TEST(CommandLine, CheckAndApplyTakeAProfileAndAReportThatEndsInAKnownFormat) {
  const auto check = CommandOf<CheckProfileCommand>(
      {"check", "--profile", "site.json", "--report", "visit.PDF", "--lang", "en", "--polls", "3"});
  EXPECT_EQ(check.profile, "site.json");
  EXPECT_EQ(check.report, "visit.PDF");
  EXPECT_TRUE(check.english);
  EXPECT_EQ(check.polls, 3);
  const auto apply = CommandOf<ApplyProfileCommand>({"apply", "--profile", "site.json"});
  EXPECT_EQ(apply.run.profile, "site.json");
  EXPECT_EQ(apply.run.report, std::nullopt);
  EXPECT_FALSE(apply.run.english);
  EXPECT_EQ(apply.run.polls, 10);

  EXPECT_THAT(ErrorOf({"check"}), HasSubstr("check needs --profile"));
  EXPECT_THAT(ErrorOf({"apply", "--profile", "a.json", "--report", "visit.txt"}),
              HasSubstr("--report: the file must end in .json, .html or .pdf, not 'visit.txt'"));
  EXPECT_THAT(ErrorOf({"check", "--profile", "a.json", "--report", "pdf"}),
              HasSubstr("must end in .json, .html or .pdf"));
  EXPECT_THAT(ErrorOf({"check", "--profile", "a.json", "--lang", "fr"}),
              HasSubstr("--lang: choose zh (Chinese) or en (English), not 'fr'"));
  EXPECT_THAT(ErrorOf({"check", "--profile", "a.json", "--polls", "-1"}), HasSubstr("--polls"));
}

}  // namespace
}  // namespace zt::cli
