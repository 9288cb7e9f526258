// zt6100ctl as a program against zt6100-sim running as a process of its own
// on a pty, through QSerialPort and the real clock: every command once with
// the console's fixed waits and again with --fast, the exit statuses and the
// JSON keys.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <csignal>
#include <cstdio>

#include <memory>

#include "link/clock.h"
#include "link/port_devices.h"
#include "link/qt_serial_port.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
#include "support/child_process.h"
#include "tool_process.h"

namespace zt::cli::test {
namespace {

QStringList Keys(const QString& line) { return JsonLine(line).keys(); }

class Zt6100ctlTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim_.Device()) << "zt6100-sim did not start"; }

  // The link options that reach the simulator, then `arguments`.
  ToolRun Run(const QStringList& arguments, const QString& workingDirectory = {}) {
    return RunCtl(QStringList{QStringLiteral("--device"), *sim_.Device()} + arguments,
                  workingDirectory);
  }

  SimProcess sim_;
};

// Each command once with the console's own waits.

TEST_F(Zt6100ctlTest, Poll) {
  const ToolRun run = Run({"poll", "--count", "1"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.Lines(),
            (QStringList{"live 10.0000  successes 1  failures 0  error rate 0.0000%",
                         "totals: polls 1  successes 1  failures 0  error rate 0.0000%",
                         "exchanges 2  replies 2  failures 0"}
             << run.Lines().value(3)));
  EXPECT_TRUE(run.Lines().value(3).startsWith("reply latency: min ")) << run.out.toStdString();
}

TEST_F(Zt6100ctlTest, ReadParams) {
  const ToolRun run = Run({"read-params"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out,
            "upper threshold: 5000\nlower threshold: 100\ndecimal point: 2\nbaud rate: 9600\n");
}

TEST_F(Zt6100ctlTest, WriteParamsThenReadThemBack) {
  const ToolRun write =
      Run({"write-params", "--upper", "6000", "--lower", "-1", "--decimal", "3", "--baud", "4800"});
  EXPECT_EQ(write.exitCode, 0) << write.out.toStdString();
  EXPECT_TRUE(write.out.endsWith(QString::fromUtf8("写数据成功！\n")));

  const ToolRun read = Run({"--fast", "read-params"});
  EXPECT_EQ(read.out,
            "upper threshold: 6000\nlower threshold: 65535\ndecimal point: 3\nbaud rate: 4800\n");
}

TEST_F(Zt6100ctlTest, SetAddressThenTheMeterAnswersThere) {
  const ToolRun change = Run({"set-address", "17"});
  EXPECT_EQ(change.exitCode, 0);
  EXPECT_EQ(change.out, QString::fromUtf8("address 17: 写本机地址成功！\n"));

  EXPECT_EQ(Run({"--fast", "--address", "17", "clock"}).exitCode, 0);
  EXPECT_EQ(Run({"--fast", "clock"}).exitCode, 1);
}

TEST_F(Zt6100ctlTest, SwitchStatus) {
  const ToolRun run = Run({"switch-status"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, QString::fromUtf8("relay output: 通 (on)\nswitch input: 分 (open)\n"));
}

TEST_F(Zt6100ctlTest, Clock) {
  const ToolRun run = Run({"clock"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, QString::fromUtf8("当前时间:  2006年12月15日 10时30分45秒\n"));
}

TEST_F(Zt6100ctlTest, Setup) {
  const ToolRun run = Run({"setup", "--pt", "100", "--ct", "5", "--wiring", "1"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.out.endsWith(QString::fromUtf8("设置仪表参数成功\n"))) << run.out.toStdString();
}

TEST_F(Zt6100ctlTest, SetBaudThenTheMeterAnswersAtTheNewRate) {
  const ToolRun change = Run({"set-baud", "19200"});
  EXPECT_EQ(change.exitCode, 0);
  EXPECT_EQ(change.out, "meter baud rate: 19200, confirmed\n");

  EXPECT_EQ(Run({"--fast", "--baud", "19200", "clock"}).exitCode, 0);
  EXPECT_EQ(Run({"--fast", "clock"}).exitCode, 1);
}

TEST_F(Zt6100ctlTest, LogAppendsToTableTxtInTheWorkingDirectory) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const ToolRun run = Run({"log", "--interval", "1", "--count", "1"}, dir.path());
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.Lines().contains("block 1 appended to Table.txt")) << run.out.toStdString();

  QFile table(dir.filePath("Table.txt"));
  ASSERT_TRUE(table.open(QIODevice::ReadOnly));
  const QByteArray block = table.readAll();
  EXPECT_TRUE(block.startsWith("\r\n"));
  // "相 电 流:" in code page 936.
  EXPECT_TRUE(block.contains("\xCF\xE0 \xB5\xE7 \xC1\xF7:"));
}

// The same commands with --fast and --json, one simulator for all of them.

TEST_F(Zt6100ctlTest, FastJsonSession) {
  const auto json = [this](const QStringList& arguments) {
    const ToolRun run = Run(QStringList{"--fast", "--json"} + arguments);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << run.out.toStdString();
    return run.Lines();
  };

  const QStringList poll = json({"poll", "--count", "3", "--period", "0"});
  ASSERT_EQ(poll.size(), 4);
  EXPECT_EQ(Keys(poll[0]),
            (QStringList{"error_rate", "failures", "live", "ok", "successes", "time"}));
  EXPECT_EQ(JsonLine(poll[2])["successes"].toInt(), 3);
  EXPECT_TRUE(JsonLine(poll[3])["totals"].toBool());

  const QStringList params = json({"read-params"});
  ASSERT_EQ(params.size(), 1);
  EXPECT_EQ(Keys(params[0]),
            (QStringList{"baud", "decimal_point", "lower_limit", "time", "upper_limit"}));
  EXPECT_EQ(JsonLine(params[0])["baud"].toInt(), 9600);

  EXPECT_EQ(JsonLine(json({"clock"}).value(0))["text"].toString(),
            QString::fromUtf8("当前时间:  2006年12月15日 10时30分45秒"));
  EXPECT_EQ(JsonLine(json({"switch-status"}).value(0))["relay_output_state"].toString(), "on");
  EXPECT_TRUE(JsonLine(json({"write-params", "--upper", "1", "--lower", "2", "--decimal", "0",
                             "--baud", "9600"})
                           .value(0))["baud"]
                  .toBool());
  EXPECT_TRUE(
      JsonLine(json({"setup", "--pt", "2", "--ct", "3", "--wiring", "4"}).value(0))["wiring"]
          .toBool());
  EXPECT_TRUE(JsonLine(json({"set-address", "1"}).value(0))["confirmed"].toBool());
  EXPECT_TRUE(JsonLine(json({"set-baud", "9600"}).value(0))["confirmed"].toBool());
}

TEST_F(Zt6100ctlTest, CtrlCEndsPollingWithTheTotals) {
  zt::test::ChildProcess poll;
  ASSERT_TRUE(poll.Start(ZT6100CTL_PATH, {"--device", sim_.Device()->toStdString(), "--fast",
                                          "--json", "poll", "--period", "0"}))
      << poll.Error();
  ASSERT_TRUE(poll.ReadLine().has_value()) << poll.Errors();
  poll.Signal(SIGINT);

  EXPECT_EQ(poll.Finish(), 0) << poll.Errors();
  const QStringList lines =
      QString::fromStdString(poll.Output()).split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 2);
  const QJsonObject totals = JsonLine(lines.back());
  EXPECT_TRUE(totals["totals"].toBool());
  EXPECT_EQ(totals["polls"].toInt(), lines.size() - 1);
}

// Ctrl-C while the decimal point's write waits for its echo: that write is
// made, the three after it are not sent, and the output says so. A second
// signal at once ends the program then and there, saying so.
TEST_F(Zt6100ctlTest, CtrlCEndsWriteParamsBetweenWritesAndSaysWhatWasSent) {
  const std::vector<std::string> writeParams = {
      "--device", sim_.Device()->toStdString(), "--trace", "write-params", "--upper", "4000",
      "--lower", "50", "--decimal", "1", "--baud", "9600"};
  zt::test::ChildProcess once;
  ASSERT_TRUE(once.Start(ZT6100CTL_PATH, writeParams)) << once.Error();
  ASSERT_TRUE(once.WaitForErrorLine("TX   01 06")) << once.Errors();
  once.Signal(SIGINT);

  EXPECT_EQ(once.Finish(), 130) << once.Errors();
  EXPECT_NE(once.Output().find("decimal point: confirmed\n"
                               "upper threshold: not sent, stopped on request\n"),
            std::string::npos)
      << once.Output();
  EXPECT_NE(once.Output().find("stopped on request after 1 of 4 writes"), std::string::npos);
  EXPECT_NE(once.Errors().find("stopped on request between two exchanges"), std::string::npos);

  zt::test::ChildProcess twice;
  ASSERT_TRUE(twice.Start(ZT6100CTL_PATH, writeParams)) << twice.Error();
  ASSERT_TRUE(twice.WaitForErrorLine("TX   01 06")) << twice.Errors();
  // Two different signals: two of one kind sent at once may reach it as one.
  twice.Signal(SIGINT);
  twice.Signal(SIGTERM);
  EXPECT_EQ(twice.Finish(), std::nullopt) << "ended by the signal itself";
  EXPECT_NE(twice.Errors().find("a second signal ended the program at once"), std::string::npos)
      << twice.Errors();
}

// A FIFO named Table.txt would hold a writer until some reader came: it is
// refused like any file that cannot be appended to, logging and polling go
// on, and SIGTERM ends the run with its totals.
TEST(Zt6100ctlLog, AFifoAsTableTxtIsRefusedAndSigtermEndsTheRun) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("Table.txt")).constData(), 0666), 0);
  zt::test::ChildProcess log;
  ASSERT_TRUE(log.Start(ZT6100CTL_PATH, {"--simulate", "--fast", "log", "--interval", "1"},
                        dir.path().toStdString()))
      << log.Error();
  ASSERT_TRUE(log.WaitForOutputLine("文件打开不成功")) << log.Output();
  log.Signal(SIGTERM);

  EXPECT_EQ(log.Finish(), 4);
  const QString out = QString::fromStdString(log.Output());
  EXPECT_TRUE(out.contains(QString::fromUtf8("文件打开不成功: Table.txt"))) << log.Output();
  EXPECT_TRUE(out.contains("\ntotals: polls ")) << log.Output();
  EXPECT_TRUE(out.split('\n', Qt::SkipEmptyParts).last().startsWith("reply latency: "))
      << log.Output();
}

// Failures a script must be able to tell apart.

TEST(Zt6100ctlFailures, ASilentMeterExitsWithOne) {
  SimProcess sim({"--silent"});
  ASSERT_TRUE(sim.Device());
  const ToolRun clock = RunCtl({"--device", *sim.Device(), "clock"});
  EXPECT_EQ(clock.exitCode, 1);
  EXPECT_EQ(clock.out, QString::fromUtf8("读时间不成功\n"));

  const ToolRun poll = RunCtl({"--device", *sim.Device(), "--fast", "poll", "--count", "1"});
  EXPECT_EQ(poll.exitCode, 1);
  EXPECT_TRUE(poll.out.contains("failures 1")) << poll.out.toStdString();
}

TEST(Zt6100ctlFailures, AMissingDeviceExitsWithThreeNamingIt) {
  QTemporaryDir dir;
  const QString missing = dir.filePath("ttyUSB9");
  const ToolRun run = RunCtl({"--device", missing, "clock"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_TRUE(run.err.startsWith("zt6100ctl: cannot open " + missing + ": "))
      << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());
}

TEST(Zt6100ctlFailures, BadArgumentsExitWithTwoBeforeThePortIsOpened) {
  // The device does not exist: a refusal that tried to open it would exit 3.
  const ToolRun run = RunCtl({"--device", "/nonexistent/tty", "set-address", "300"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.err.contains("between 0 and 255")) << run.err.toStdString();
  EXPECT_EQ(RunCtl({"poll", "--device", "/dev/ttyS0"}).exitCode, 2);
  EXPECT_EQ(RunCtl({}).exitCode, 2);
}

TEST(Zt6100ctlFailures, OutputThatCannotBeWrittenEndsWithSixAndSaysWhy) {
  for (const QStringList& arguments :
       {QStringList{"--simulate", "--fast", "poll", "--count", "3"},
        QStringList{"--simulate", "--fast", "--csv", "poll", "--count", "3"},
        QStringList{"--simulate", "clock"}, QStringList{"--help"}}) {
    const ToolRun run = RunCtlWritingTo("/dev/full", arguments);
    ASSERT_TRUE(run.finished) << arguments.join(' ').toStdString();
    EXPECT_EQ(run.exitCode, 6) << arguments.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains("zt6100ctl: cannot write standard output: No space left on device"))
        << run.err.toStdString();
  }
}

TEST(Zt6100ctlFailures, HelpExitsWithZero) {
  const ToolRun run = RunCtl({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.out.startsWith("Usage: zt6100ctl"));
}

TEST(Zt6100ctlSimulate, TalksToTheBuiltInMeter) {
  const ToolRun fast = RunCtl({"--simulate", "--fast", "--json", "poll", "--count", "2"});
  EXPECT_EQ(fast.exitCode, 0) << fast.err.toStdString();
  EXPECT_EQ(fast.Lines().size(), 3);

  const ToolRun clock = RunCtl({"--simulate", "clock"});
  EXPECT_EQ(clock.exitCode, 0) << clock.err.toStdString();
}

// A two-wire adapter that echoes every request, with and without a meter
// behind it.
TEST(Zt6100ctlOnAnEchoingLine, WritesAreConfirmedOnlyByTheMeter) {
  SimProcess withMeter({"--echo"});
  ASSERT_TRUE(withMeter.Device());
  const ToolRun write = RunCtl({"--device", *withMeter.Device(), "--fast", "--verbose",
                                "write-params", "--upper", "6000", "--lower", "50", "--decimal",
                                "2", "--baud", "9600"});
  EXPECT_EQ(write.exitCode, 0) << write.out.toStdString();
  EXPECT_TRUE(write.err.contains("local echo detected")) << write.err.toStdString();

  SimProcess noMeter({"--echo", "--silent"});
  ASSERT_TRUE(noMeter.Device());
  for (const QStringList& command :
       {QStringList{"set-address", "9"}, QStringList{"set-baud", "19200"},
        QStringList{"setup", "--pt", "2", "--ct", "3", "--wiring", "1"},
        QStringList{"write-params", "--upper", "1", "--lower", "0", "--decimal", "0", "--baud",
                    "9600"}}) {
    const ToolRun run = RunCtl(QStringList{"--device", *noMeter.Device(), "--fast"} + command);
    EXPECT_EQ(run.exitCode, 1) << command.join(' ').toStdString() << ": " << run.out.toStdString();
  }
}

// Polls against a meter that misbehaves at random, late replies up to the
// guard limit included, with the real clock, back to back in fast mode and at
// the fixed waits: every value printed as good is the one the meter sent for
// that poll's own live-value request, as its log shows. ZT_PTY_SOAK_POLLS
// sets a longer run.
class Zt6100ctlSoak : public ::testing::TestWithParam<bool> {};

TEST_P(Zt6100ctlSoak, EveryPrintedValueIsTheOneSentForItsRequest) {
  const bool fast = GetParam();
  SimProcess sim({"--fault-share", "20", "--max-late", "2000", "--distinct-live", "--verbose",
                  "--seed", fast ? "14" : "41"});
  ASSERT_TRUE(sim.Device());
  const int polls = qEnvironmentVariableIntValue("ZT_PTY_SOAK_POLLS") > 0
                        ? qEnvironmentVariableIntValue("ZT_PTY_SOAK_POLLS")
                        : (fast ? 40 : 12);
  QStringList arguments{"--device", *sim.Device()};
  if (fast) {
    arguments << "--fast";
  }
  arguments << QStringList{"--json", "poll", "--count", QString::number(polls), "--period", "0"};
  const ToolRun run = RunCtl(arguments);
  ASSERT_TRUE(run.finished);
  const QStringList printed = run.Lines();
  ASSERT_EQ(printed.size(), polls + 1);

  // The meter's log: one line per live-value request it heard, in order.
  QStringList sent;
  for (const QString& line : sim.StopAndTakeErrors().split(QLatin1Char('\n'))) {
    if (line.contains("register 0x0000")) {
      sent.push_back(line);
    }
  }
  ASSERT_EQ(sent.size(), polls);
  int successes = 0;
  for (int poll = 0; poll < polls; ++poll) {
    const QJsonObject tick = JsonLine(printed[poll]);
    // A poll succeeded when it counted one more success.
    if (tick.value("successes").toInt() == successes) {
      continue;
    }
    ++successes;
    // Live values are printed with the meter's two decimals.
    const int raw = qRound(tick.value("live").toDouble() * 100);
    const QString reply = QStringLiteral("01 03 02 %1 %2")
                              .arg(raw >> 8, 2, 16, QLatin1Char('0'))
                              .arg(raw & 0xFF, 2, 16, QLatin1Char('0'))
                              .toUpper();
    EXPECT_TRUE(sent[poll].contains("reply:") && sent[poll].contains(reply))
        << "poll " << poll << " printed " << printed[poll].toStdString() << "; the meter: "
        << sent[poll].toStdString();
  }
  const QJsonObject totals = JsonLine(printed.back());
  EXPECT_EQ(totals.value("successes").toInt(), successes) << printed.back().toStdString();
  EXPECT_EQ(totals.value("successes").toInt() + totals.value("failures").toInt(), polls);
  std::printf("%s on a pty: %d polls, %d good\n", fast ? "fast" : "fixed", polls, successes);
}

INSTANTIATE_TEST_SUITE_P(Waits, Zt6100ctlSoak, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

// The meter's device goes away and comes back at the same path, as an
// adapter pulled out and plugged in again.
TEST(PortOnAStablePath, ALostDeviceIsReportedAndOpensAgainWhenItIsBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("meter");
  PortDevices devices;
  devices.For(1) = path.toStdString();
  QtSerialPort port(devices);
  port.SelectPort(1);
  ASSERT_TRUE(port.SetLineFormat("9600,N,8,2"));
  SystemClock clock;
  Transaction transaction(port, clock);
  transaction.SetFastExchange(FastExchange::ForLine(port.Format()));
  const LinkSettings settings;
  MeterSession session(transaction, settings);

  auto meter = std::make_unique<SimProcess>(QStringList{"--link", path});
  ASSERT_EQ(meter->Device(), path);
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(session.ReadDecimalPoint().has_value());

  meter.reset();
  EXPECT_FALSE(session.ReadDecimalPoint().has_value());
  EXPECT_TRUE(port.DeviceLost());
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.Open()) << "nothing at the path while the meter is away";

  meter = std::make_unique<SimProcess>(QStringList{"--link", path});
  ASSERT_TRUE(port.Open());
  EXPECT_FALSE(port.DeviceLost());
  transaction.ForgetLine();
  EXPECT_TRUE(session.ReadDecimalPoint().has_value());
}

}  // namespace
}  // namespace zt::cli::test
