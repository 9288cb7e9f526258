// Logging on and off, the interval dialog, the log ticks, the about box and
// the analysis launcher, on the real console window.

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "console/about_dlg.h"
#include "console/analysis_launcher.h"
#include "console/save_interval_dlg.h"
#include "meter/live_value.h"
#include "meter/measurement_log.h"
#include "res/console_template.h"
#include "res/save_interval_template.h"
#include "support/console_fixture.h"

namespace {

namespace id = zt::res::console_id;
namespace interval = zt::res::interval_id;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class LoggingTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    logFile = dir.filePath("Table.txt").toStdString();
    Open();
    console->SetLogFile(logFile);
    console->SetWallClock([] {
      return std::chrono::sys_days{std::chrono::year{2006} / 12 / 31} + std::chrono::hours(17);
    });
  }

  // Answers the interval dialog: records what it offered, types the three
  // texts and presses OK; cancels when `texts` is empty.
  void AnswerInterval(std::optional<std::array<QString, 3>> texts) {
    ui.answerDialog = [this, texts](QDialog& dialog) {
      auto& intervalDlg = dynamic_cast<zt::CSaveIntervalDlg&>(dialog);
      offered.push_back(intervalDlg.Box(interval::kHours)->text() + ":" +
                        intervalDlg.Box(interval::kMinutes)->text() + ":" +
                        intervalDlg.Box(interval::kSeconds)->text());
      if (!texts) return int{QDialog::Rejected};
      intervalDlg.Box(interval::kHours)->setText((*texts)[0]);
      intervalDlg.Box(interval::kMinutes)->setText((*texts)[1]);
      intervalDlg.Box(interval::kSeconds)->setText((*texts)[2]);
      intervalDlg.accept();
      return intervalDlg.result();
    };
  }

  QString LoggingCaption() const {
    return static_cast<QPushButton*>(console->Control(id::kToggleLogging))->text();
  }

  QTemporaryDir dir;
  std::filesystem::path logFile;
  std::vector<QString> offered;
};

TEST_F(LoggingTest, ToggleAsksForTheIntervalThenStops) {
  AnswerInterval(std::array<QString, 3>{"1", "30", "15"});
  console->OnCommand(id::kToggleLogging);
  EXPECT_EQ(offered, (std::vector<QString>{"0:0:1"}));
  EXPECT_TRUE(console->IsLogging());
  EXPECT_TRUE(console->IsTimerRunning(zt::CMeterConsoleDlg::kLogTimer));
  EXPECT_EQ(console->LogPeriodMs(), 5'415'000);
  EXPECT_EQ(LoggingCaption(), "停止保存数据");
  EXPECT_EQ(console->MenuAction(id::kToggleLogging)->text(), "停止保存数据(&L)");
  EXPECT_FALSE(std::filesystem::exists(logFile)) << "the first block comes one period later";

  console->OnCommand(id::kToggleLogging);
  EXPECT_FALSE(console->IsLogging());
  EXPECT_FALSE(console->IsTimerRunning(zt::CMeterConsoleDlg::kLogTimer));
  EXPECT_EQ(LoggingCaption(), "开始保存数据");
  EXPECT_EQ(console->MenuAction(id::kToggleLogging)->text(), "开始保存数据(&L)");

  AnswerInterval(std::nullopt);
  console->OnCommand(id::kToggleLogging);
  EXPECT_EQ(offered.back(), "0:0:1") << "the confirmed interval is not stored back";
  EXPECT_FALSE(console->IsLogging());
  EXPECT_EQ(LoggingCaption(), "开始保存数据");
}

TEST_F(LoggingTest, IntervalsThatNoTimerCanRunAreRefusedInTheDialog) {
  for (const auto& texts : {std::array<QString, 3>{"0", "0", "0"},
                            std::array<QString, 3>{"0", "-1", "0"},
                            std::array<QString, 3>{"596", "31", "24"},
                            std::array<QString, 3>{"2147483647", "0", "0"}}) {
    ui.messages.clear();
    AnswerInterval(texts);
    console->OnCommand(id::kToggleLogging);
    EXPECT_FALSE(console->IsLogging()) << texts[0].toStdString() << ":" << texts[1].toStdString();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0], "存储时间间隔须在 1 秒到 596 时 31 分 23 秒之间。");
  }
  ui.messages.clear();
  AnswerInterval(std::array<QString, 3>{"596", "31", "23"});
  console->OnCommand(id::kToggleLogging);
  EXPECT_TRUE(console->IsLogging());
  EXPECT_EQ(console->LogPeriodMs(), 2'147'483'000);
}

TEST_F(LoggingTest, LetterInABoxGetsTheStandardPrompt) {
  AnswerInterval(std::array<QString, 3>{"0", "x", "5"});
  console->OnCommand(id::kToggleLogging);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个整数。"}));
  EXPECT_FALSE(console->IsLogging());
}

TEST_F(LoggingTest, EachTickAppendsTheMeasuredCurrent) {
  meter.SetDecimalPoint(2);
  const uint16_t live = meter.NextLiveValue();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_DOUBLE_EQ(console->Quantities().PhaseA.Current, zt::ScaledLiveValue(live, 2));
  EXPECT_DOUBLE_EQ(console->Quantities().CombinedCurrent, zt::ScaledLiveValue(live, 2));
  EXPECT_EQ(console->Quantities().PhaseB.Current, 0);

  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  const std::string log = ReadFile(logFile);
  const std::string block = zt::FormatMeasurementBlock(console->Quantities(), {},
                                                       {2007, 1, 1, 1, 0, 0});
  EXPECT_EQ(log, block + block);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoggingTest, ReadOnlyFileGivesOneMessageUntilAnAppendSucceeds) {
  std::ofstream(logFile, std::ios::binary) << "kept";
  std::filesystem::permissions(logFile, std::filesystem::perms::owner_read);
  AnswerInterval(std::array<QString, 3>{"0", "0", "1"});
  console->OnCommand(id::kToggleLogging);
  ui.onMessage = [this](const QString&) {
    for (int i = 0; i < 5; ++i) console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  };
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  EXPECT_EQ(ui.messages, (std::vector<QString>{QStringLiteral("文件打开不成功: %1: 文件为只读")
                                                  .arg(QString::fromStdString(logFile.string()))}));
  EXPECT_EQ(ReadFile(logFile), "kept");
  EXPECT_EQ(console->StateText(), "保存数据失败");

  ui.onMessage = nullptr;
  for (int i = 0; i < 3; ++i) console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  EXPECT_EQ(ui.messages.size(), 1U) << "later ticks try again, silently";
  EXPECT_EQ(ReadFile(logFile), "kept");

  std::filesystem::permissions(logFile, std::filesystem::perms::owner_all);
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  EXPECT_GT(ReadFile(logFile).size(), 4U);
  EXPECT_EQ(console->StateText(), "");

  std::filesystem::permissions(logFile, std::filesystem::perms::owner_read);
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  EXPECT_EQ(ui.messages.size(), 2U) << "a new failure after a success is told again";
  console->OnCommand(id::kToggleLogging);
  EXPECT_FALSE(console->IsLogging());
  EXPECT_EQ(console->StateText(), "") << "stopping logging ends the warning";
}

TEST_F(LoggingTest, FailureNamesTheFileAndWhy) {
  // A directory where the file should be, then a folder that does not exist,
  // given relative to the working directory as Table.txt is.
  std::filesystem::create_directory(logFile);
  AnswerInterval(std::array<QString, 3>{"0", "0", "1"});
  console->OnCommand(id::kToggleLogging);
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0], QStringLiteral("文件打开不成功: %1: 不是普通文件")
                                .arg(QString::fromStdString(logFile.string())));

  std::filesystem::remove(logFile);
  // Stopped and started again: the next failure is told again.
  console->OnCommand(id::kToggleLogging);
  console->OnCommand(id::kToggleLogging);
  const QString cwd = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  console->SetLogFile("missing/Table.txt");
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);
  QDir::setCurrent(cwd);
  ASSERT_EQ(ui.messages.size(), 2U);
  EXPECT_EQ(ui.messages[1],
            QStringLiteral("文件打开不成功: %1/missing/Table.txt: %2")
                .arg(dir.path(),
                     QString::fromLocal8Bit(std::generic_category().message(ENOENT))));
}

TEST_F(LoggingTest, AboutBoxShowsTheProductLine) {
  QStringList texts;
  ui.answerDialog = [&](QDialog& dialog) {
    EXPECT_NE(dynamic_cast<zt::CAboutDlg*>(&dialog), nullptr);
    for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    dialog.findChild<QPushButton*>()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "its one button closes it";
    return dialog.result();
  };
  console->MenuAction(id::kTechSupport)->trigger();
  EXPECT_TRUE(texts.contains("ZT6200智能电力监测仪演示软件       V2.0  "));
  EXPECT_TRUE(Frames().empty());
}

TEST_F(LoggingTest, AnalysisProgramRunsBesideTheConsoleOrItsFailureIsNamed) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));

  console->OnCommand(id::kPhaseCurrentAnalysis);  // no ./dovir here
  ASSERT_EQ(ui.messages.size(), 1U);
  const QString prefix = "无法启动分析程序 ./dovir: ";
  EXPECT_TRUE(ui.messages[0].startsWith(prefix)) << ui.messages[0].toStdString();
  EXPECT_GT(ui.messages[0].size(), prefix.size()) << "the system's reason follows";

  // A program that ends only once the console has let the test go on.
  ui.messages.clear();
  const std::string gate = dir.filePath("gate").toStdString();
  ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
  const std::filesystem::path script = dir.filePath("dovir").toStdString();
  std::ofstream(script) << "#!/bin/sh\nread line < gate\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  console->OnCommand(id::kPhaseCurrentAnalysis);
  QDir::setCurrent(previous);
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].toStdString();
  std::ofstream(gate) << "go\n";  // opens once the program waits at its gate
}

}  // namespace
