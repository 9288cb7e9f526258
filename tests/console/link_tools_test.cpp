// The two windows that watch the line beside the console: the diagnostics
// with the failures by cause, and the frame monitor, which must show the
// frames the meter got at the times it got them and move none of them.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "console/frame_monitor_dlg.h"
#include "console/link_diagnostics_dlg.h"
#include "link/frame_trace.h"
#include "res/console_template.h"
#include "sim/fault_config.h"
#include "support/console_fixture.h"

namespace {

namespace id = zt::res::console_id;
using zt::CFrameMonitorDlg;
using zt::CLinkDiagnosticsDlg;
using zt::CMeterConsoleDlg;
using std::chrono::milliseconds;

class LinkTools : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void Poll(int ticks) {
    console->OnCommand(id::kStartPolling);
    for (int i = 0; i < ticks; ++i) {
      console->OnTimer(CMeterConsoleDlg::kPollTimer);
    }
    console->OnCommand(id::kStopPolling);
  }

  // The monitor's line for each frame the meter got.
  QStringList SentLines() const {
    QStringList lines;
    for (const zt::sim::WrittenFrame& frame : port.Written()) {
      lines << QString::fromStdString(zt::FormatFrameRecord(
          {0, frame.at, zt::FrameDirection::Sent, frame.bytes, "request"}, std::chrono::microseconds{0}));
    }
    return lines;
  }

  static QStringList Direction(const QStringList& lines, const QString& direction) {
    QStringList picked;
    for (const QString& line : lines) {
      if (line.mid(10, 4).trimmed() == direction) picked << line;
    }
    return picked;
  }

  static void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }
};

TEST_F(LinkTools, TheSystemMenuOpensBothWindowsBesideTheConsole) {
  Open();
  QMenu* system = console->findChild<QMenuBar*>()->actions().first()->menu();
  ASSERT_NE(system, nullptr);
  QStringList texts;
  for (QAction* action : system->actions()) texts << action->text();
  ASSERT_TRUE(texts.contains("通讯诊断(&D)")) << texts.join(',').toStdString();
  ASSERT_TRUE(texts.contains("通讯监视(&M)"));
  for (QAction* action : system->actions()) {
    if (action->text() == "通讯诊断(&D)" || action->text() == "通讯监视(&M)") action->trigger();
  }
  const auto windows = [this] {
    std::map<QString, QDialog*> shown;
    for (QDialog* dialog : console->findChildren<QDialog*>()) {
      if (dialog->isVisible()) shown[dialog->windowTitle()] = dialog;
    }
    return shown;
  };
  const std::map<QString, QDialog*> opened = windows();
  ASSERT_EQ(opened.size(), 2U);
  QDialog* diagnostics = opened.at("通讯诊断");
  QDialog* monitor = opened.at("通讯监视");
  EXPECT_FALSE(diagnostics->isModal());
  EXPECT_FALSE(monitor->isModal());
  // Asked again, the same window comes forward.
  EXPECT_EQ(&console->OnLinkDiagnostics(), diagnostics);
  EXPECT_EQ(&console->OnFrameMonitor(), monitor);
  EXPECT_EQ(windows(), opened);
}

TEST_F(LinkTools, DiagnosticsCountEveryExchangeByCauseBesideThePolls) {
  Open();
  SilenceRegisters(0x0000, 0x0000);
  Poll(2);
  zt::sim::FaultConfig refuse;
  refuse.exceptionReply = true;
  refuse.exceptionCode = zt::sim::ExceptionCode::IllegalDataAddress;
  refuse.appliesTo = zt::sim::TouchingRegisters(0x0000, 0x0000);
  port.SetFaults(refuse);
  Poll(1);
  port.SetFaults({});
  Poll(1);

  CLinkDiagnosticsDlg& diagnostics = console->OnLinkDiagnostics();
  EXPECT_EQ(diagnostics.Figure("poll_successes"), "1");
  EXPECT_EQ(diagnostics.Figure("poll_failures"), "3");
  EXPECT_EQ(diagnostics.Figure("exchanges"), "8");
  EXPECT_EQ(diagnostics.Figure("replies"), "5");
  EXPECT_EQ(diagnostics.Figure("failures"), "3");
  EXPECT_EQ(diagnostics.Figure("no_bytes"), "2");
  EXPECT_EQ(diagnostics.Figure("exception"), "1  代码 02: 1");
  EXPECT_EQ(diagnostics.Figure("bad_crc"), "0");
  // 8 request characters, the meter's 20 ms, the first reply character at 9600 bit/s.
  EXPECT_EQ(diagnostics.Figure("latency"), "最小 30.3   中位数 30.3   95% 30.3   最大 30.3");
}

TEST_F(LinkTools, DiagnosticsReadTheLinkThreadsCountsWithoutWaitingOnTheLine) {
  console = std::make_unique<CMeterConsoleDlg>(
      ui, std::make_unique<zt::LinkWorker>(port, clock, settings, zt::LinkWorker::kOwnThread),
      settings);
  console->OnInitDialog();
  WaitUntil([this] { return !console->Worker().Busy(); });
  CLinkDiagnosticsDlg& diagnostics = console->OnLinkDiagnostics();
  console->OnCommand(id::kStartPolling);
  console->OnTimer(CMeterConsoleDlg::kPollTimer);
  // Asked while the poll is on the line: the copy comes after it, and the
  // window is not made busy by asking.
  diagnostics.Refresh();
  EXPECT_FALSE(console->IsBusy());
  WaitUntil([&] { return diagnostics.Figure("replies") == "2"; });
  EXPECT_EQ(diagnostics.Figure("failures"), "0");
  WaitUntil([this] { return !console->Worker().Busy(); });
  console->OnCommand(id::kStopPolling);
  console.reset();
}

TEST_F(LinkTools, MonitorShowsEveryFrameTheMeterGotAtItsTimeAndMovesNone) {
  port.SetFaultMix({35, milliseconds(1300), 0x5EED});
  Open();
  CFrameMonitorDlg& monitor = console->OnFrameMonitor();
  Poll(30);
  monitor.Refresh();
  const QStringList lines = monitor.Lines();
  EXPECT_EQ(Direction(lines, "TX"), SentLines());
  EXPECT_EQ(Direction(lines, "RX").size(), SentLines().size());
  EXPECT_FALSE(Direction(lines, "LATE").isEmpty());

  // The same run without a window watching: the same frames at the same times.
  const std::vector<std::string> watched = Frames();
  zt::test::ConsoleFixture unwatched;
  unwatched.port.SetFaultMix({35, milliseconds(1300), 0x5EED});
  unwatched.Open();
  unwatched.console->OnCommand(id::kStartPolling);
  for (int i = 0; i < 30; ++i) unwatched.console->OnTimer(CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(unwatched.Frames(), watched);
}

TEST_F(LinkTools, MonitorKeepsTheLastThousandLines) {
  Open();
  CFrameMonitorDlg& monitor = console->OnFrameMonitor();
  Poll(300);  // 1,200 lines, fetched in two looks
  monitor.Refresh();
  Poll(1);
  monitor.Refresh();
  const QStringList lines = monitor.Lines();
  ASSERT_EQ(lines.size(), CFrameMonitorDlg::kMaxLines);
  EXPECT_EQ(Direction(lines, "TX").last(), SentLines().last());
  EXPECT_TRUE(lines.last().endsWith("  reply"));
}

TEST_F(LinkTools, MonitorPausesCatchesUpAndClears) {
  Open();
  CFrameMonitorDlg& monitor = console->OnFrameMonitor();
  Poll(1);
  monitor.Refresh();
  ASSERT_EQ(monitor.Lines().size(), 4);
  monitor.SetPaused(true);
  Poll(1);
  monitor.Refresh();
  EXPECT_EQ(monitor.Lines().size(), 4) << "a paused list stands still";
  monitor.SetPaused(false);
  EXPECT_EQ(monitor.Lines().size(), 8) << "and catches up on resuming";
  EXPECT_EQ(Direction(monitor.Lines(), "TX"), SentLines());
  monitor.Clear();
  EXPECT_TRUE(monitor.Lines().isEmpty());
  Poll(1);
  monitor.Refresh();
  EXPECT_EQ(Direction(monitor.Lines(), "TX"), SentLines().mid(4));
}

TEST_F(LinkTools, MonitorSavesItsLinesOrSaysWhyNot) {
  Open();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString path = dir.filePath("frames.txt");
  CFrameMonitorDlg monitor(console->Worker(), ui, console.get(),
                           [&path](QWidget*) { return path; });
  Poll(1);
  monitor.Refresh();
  monitor.Save();
  EXPECT_TRUE(ui.messages.empty());
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), monitor.Lines().join('\n') + '\n');

  path = dir.filePath("no such folder/frames.txt");
  monitor.Save();
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_TRUE(ui.messages[0].startsWith("通讯记录保存失败: " + path + ": "))
      << ui.messages[0].toStdString();
  EXPECT_GT(ui.messages[0].size(), QString("通讯记录保存失败: " + path + ": ").size());

  // Choosing no file saves nothing and says nothing.
  path.clear();
  monitor.Save();
  EXPECT_EQ(ui.messages.size(), 1U);
}

}  // namespace
