// "调试检查" from the console's menu on the simulated meter and the virtual
// clock: the frames its check and apply put on the line and when, the
// console following the meter to its new address and rate, the stops (an
// unconfirmed write, Esc, 停止运行), and the report saved whole or not at
// all.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "console/commission_dlg.h"
#include "console/meter_setup_dlg.h"
#include "console/state_char_box.h"
#include "console/window_text.h"
#include "res/commission_texts.h"
#include "res/console_template.h"
#include "support/console_fixture.h"
#include "support/forwarding_port.h"
#include "support/golden_frames.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using zt::CCommissionDlg;
using zt::test::At;
namespace frame = zt::test::frame;
namespace id = zt::res::console_id;

// 2026-12-07 20:00:00 UTC, 2026-12-08 04:00:00 on the meter's clock.
constexpr std::chrono::seconds kWallStart{1796673600};

Lines Joined(Lines first, const Lines& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

// `polls` live polls from `startMs`: the decimal point, then the value 900 ms
// later, 1.5 s a poll.
Lines Polls(long long startMs, int polls, const Lines& reads) {
  Lines rows;
  for (int i = 0; i < polls; ++i) {
    rows.push_back(At(startMs + 1500 * i, reads[2]));
    rows.push_back(At(startMs + 1500 * i + 900, reads[6]));
  }
  return rows;
}

// The check's reads from `startMs`, 600 ms each, the clock 300 ms; then
// `polls` live polls.
Lines CheckFrames(long long startMs, int polls, const Lines& reads) {
  Lines rows;
  long long ms = startMs;
  for (std::size_t i = 0; i < 6; ++i) {
    rows.push_back(At(ms, reads[i]));
    ms += i == 5 ? 300 : 600;
  }
  return Joined(rows, Polls(ms, polls, reads));
}

// Upper, lower, decimal point, parameter baud, relay and switch, clock, and
// the live value, at address 1 and at address 5.
const Lines kReadsAt1 = {std::string(frame::kReadUpperLimit),  std::string(frame::kReadLowerLimit),
                         std::string(frame::kReadDecimalPoint), std::string(frame::kReadParameterBaud),
                         std::string(frame::kReadSwitchStatus), std::string(frame::kReadClock),
                         std::string(frame::kReadLiveValue)};
const Lines kReadsAt5 = {"05 03 03 02 00 01 24 0A", "05 03 03 04 00 01 C4 0B",
                         "05 03 00 06 00 01 65 8F", "05 03 03 08 00 01 04 08",
                         "05 03 00 16 00 01 64 4A", "05 03 01 10 00 03 04 76",
                         "05 03 00 00 00 01 85 8E"};

class CommissionWindow : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    meter.SetClock({2026, 12, 8, 4, 0, 5});
  }

  void OpenConsole(zt::SerialPort* onPort = nullptr) {
    Open(onPort);
    console->SetWallClock([this] { return zt::WallTime{kWallStart + clock.Now()}; });
    console->SetCommissionPaths({[this](QWidget*) { return profilePath_; },
                                 [this](QWidget*) { return reportPath_; }});
  }

  // A profile file with `json` in it, chosen at the window's next 选择.
  QString Profile(const QByteArray& json) {
    profilePath_ = dir_.filePath(QStringLiteral("site%1.json").arg(++profiles_));
    QFile file(profilePath_);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(json);
    return profilePath_;
  }

  // Opens the window from the console's menu and lets `interact` play the
  // technician while it is shown.
  void WithWindow(const std::function<void(CCommissionDlg&)>& interact) {
    ui.answerDialog = [&](QDialog& dialog) {
      interact(dynamic_cast<CCommissionDlg&>(dialog));
      return QDialog::Rejected;
    };
    QAction* item = nullptr;
    for (QAction* menu : console->findChild<QMenuBar*>()->actions()) {
      for (QAction* action : menu->menu()->actions()) {
        if (action->text() == zt::Tr(zt::res::text::kCommissionItem)) item = action;
      }
    }
    ASSERT_NE(item, nullptr) << "no 调试检查 in the menus";
    item->trigger();
  }

  static void Press(CCommissionDlg& window, int button) {
    ASSERT_TRUE(window.Button(button).isEnabled()) << button;
    window.Button(button).click();
  }

  // The table's row for `setting` (its caption as shown), cell by cell.
  static QStringList Row(const CCommissionDlg& window, const QString& setting) {
    const QTableWidget& table = window.Table();
    for (int r = 0; r < table.rowCount(); ++r) {
      if (table.item(r, 0)->text() == setting) {
        QStringList cells;
        for (int c = 0; c < table.columnCount(); ++c) cells << table.item(r, c)->text();
        return cells;
      }
    }
    return {};
  }

  QTemporaryDir dir_;
  QString profilePath_;
  QString reportPath_;
  int profiles_ = 0;
};

TEST_F(CommissionWindow, CheckSendsItsReadsAndPollsAtTheirTimesAndShowsEachVerdict) {
  OpenConsole();
  console->OnStartPolling();
  Profile(R"({"site": "泵房 2", "meter": "A-17", "address": 1, "baud": 9600,
              "upper_limit": 4000, "lower_limit": 100, "decimal_point": 2, "pt": 100})");
  WithWindow([&](CCommissionDlg& window) {
    // The console's poll waits while the window is open.
    EXPECT_FALSE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
    EXPECT_FALSE(window.Button(CCommissionDlg::kCheck).isEnabled());
    Press(window, CCommissionDlg::kChoose);
    Press(window, CCommissionDlg::kCheck);
    EXPECT_FALSE(window.Running());

    EXPECT_EQ(Frames(), CheckFrames(0, 10, kReadsAt1));
    EXPECT_EQ(Row(window, "上限"),
              QStringList({"上限", "4000", "5000", "不一致", "04:00:00", ""}));
    EXPECT_EQ(Row(window, "下限"),
              QStringList({"下限", "100", "100", "一致", "04:00:01", ""}));
    EXPECT_EQ(Row(window, "PT"),
              QStringList({"PT", "100", "-", "无法读取", "-", "此仪表不能读回"}));
    EXPECT_EQ(Row(window, "继电器输出").value(2), "通");
    EXPECT_EQ(Row(window, "仪表时间").value(3), "一致");
    EXPECT_EQ(window.SummaryText(), "有不一致或无应答的项目");
    EXPECT_TRUE(window.Button(CCommissionDlg::kSave).isEnabled());
    EXPECT_EQ(window.Record()->profile.site, "泵房 2");
  });
  // Nothing written; the poll goes on where it was, and the console's own
  // boxes show what the check read.
  EXPECT_TRUE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  EXPECT_EQ(meter.UpperLimit(), 5000);
  EXPECT_EQ(Box(zt::res::console_id::kUpperLimit), "5000");
  EXPECT_EQ(Box(zt::res::console_id::kLowerLimit), "100");
  EXPECT_EQ(static_cast<zt::StateCharBox*>(console->Control(zt::res::console_id::kRelayOutput))
                ->Character(),
            "通");
}

TEST_F(CommissionWindow, ApplyWritesWhatDiffersInTheSafeOrderAndTheConsoleFollowsTheMeter) {
  OpenConsole();
  Profile(R"({"address": 5, "baud": 19200, "upper_limit": 4000, "lower_limit": 100,
              "pt": 100})");
  WithWindow([&](CCommissionDlg& window) {
    Press(window, CCommissionDlg::kChoose);
    Press(window, CCommissionDlg::kApply);

    const Lines steps = {
        At(3300, "01 06 03 02 0F A0 2D C6"),    // upper threshold 4000
        At(3600, "01 06 03 08 00 04 09 8F"),    // the parameter block's baud, 19200
        At(3900, frame::kWritePt100),           // PT, which cannot be read
        At(4200, frame::kWriteAddress5),        // the address, to the old one
        At(4500, kReadsAt5[2]),                 // proven at the new address
        At(5100, "05 06 00 08 00 04 08 4F"),    // the rate, told at 9600 bit/s
        At(5400, kReadsAt5[2]),                 // proven at 19200 bit/s
    };
    const Lines expected =
        Joined(Joined(CheckFrames(0, 0, kReadsAt1), steps), CheckFrames(6000, 10, kReadsAt5));
    EXPECT_EQ(Frames(), expected);
    EXPECT_EQ(port.Written().at(11).line.baudRate, 9600);
    EXPECT_EQ(port.Written().at(12).line.baudRate, 19200);
    EXPECT_EQ(window.SummaryText(),
              "已写入并确认: 上限 4000, 参数波特率 19200, PT 100, 仪表地址 5, 通讯波特率 19200\n"
              "控制台已跟随仪表: 地址 5, 19200 bit/s\n"
              "全部一致");
    EXPECT_EQ(Row(window, "PT").value(2), "100");
    EXPECT_EQ(Row(window, "PT").value(5), "不能读回;本次已写入并确认");
  });
  // The console's own settings, boxes and link information follow.
  EXPECT_EQ(console->Settings().address, 5);
  EXPECT_EQ(console->Settings().baudRate, 19200);
  EXPECT_EQ(Box(id::kDeviceAddress), "5");
  EXPECT_NE(console->LinkInfoText().find("19200"), std::string::npos);
  const std::size_t before = port.Written().size();
  console->OnStartPolling();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  ASSERT_GT(port.Written().size(), before);
  EXPECT_EQ(Frames().at(before).substr(Frames().at(before).find(": ") + 2), kReadsAt5[2]);
  console->OnStopPolling();

  // A second apply finds nothing to write: PT was confirmed in this run.
  WithWindow([&](CCommissionDlg& window) {
    EXPECT_EQ(window.ProfilePath(), profilePath_);
    const std::size_t again = port.Written().size();
    Press(window, CCommissionDlg::kApply);
    for (std::size_t i = again; i < port.Written().size(); ++i) {
      EXPECT_EQ(port.Written()[i].bytes.at(1), 0x03) << "a write on the second apply";
    }
    EXPECT_EQ(window.SummaryText(), "无需写入\n全部一致");
  });
}

TEST_F(CommissionWindow, ApplyStopsAtTheFirstUnconfirmedWriteAndSaysWhatWasNotDone) {
  OpenConsole();
  Profile(R"({"address": 5, "decimal_point": 1, "lower_limit": 200, "pt": 100})");
  SilenceRegisters(0x0304, 0x0304);  // the lower threshold: unread, its write unanswered
  WithWindow([&](CCommissionDlg& window) {
    Press(window, CCommissionDlg::kChoose);
    Press(window, CCommissionDlg::kApply);
    // After each unanswered frame the line guard waits 2 s more.
    const Lines check = {At(0, frame::kReadUpperLimit),     At(600, frame::kReadLowerLimit),
                         At(3200, frame::kReadDecimalPoint), At(3800, frame::kReadParameterBaud),
                         At(4400, frame::kReadSwitchStatus), At(5000, frame::kReadClock)};
    const Lines writes = {At(5300, "01 06 00 06 00 01 A8 0B"),   // decimal point 1
                          At(5600, "01 06 03 04 00 C8 C9 D9")};  // lower 200: unanswered
    const Lines closing = {At(7900, frame::kReadUpperLimit),     At(8500, frame::kReadLowerLimit),
                           At(11100, frame::kReadDecimalPoint), At(11700, frame::kReadParameterBaud),
                           At(12300, frame::kReadSwitchStatus), At(12900, frame::kReadClock)};
    const Lines expected =
        Joined(Joined(Joined(check, writes), closing), Polls(13200, 10, kReadsAt1));
    EXPECT_EQ(Frames(), expected);
    EXPECT_EQ(window.SummaryText(),
              "已写入并确认: 小数点 1\n"
              "未确认: 下限 200 (仪表未确认写入)\n"
              "未写入: PT 100, 仪表地址 5\n"
              "有不一致或无应答的项目");
  });
  EXPECT_EQ(console->Settings().address, 1);
  EXPECT_EQ(Box(id::kDeviceAddress), "1");
}

TEST_F(CommissionWindow, EscAndStopEndACheckOrAnApplyBetweenTwoExchanges) {
  zt::test::ForwardingPort counting(port);
  OpenConsole(&counting);
  Profile(R"({"upper_limit": 4000, "lower_limit": 200})");
  WithWindow([&](CCommissionDlg& window) {
    int closed = 0;
    QObject::connect(&window, &QDialog::finished, [&closed] { ++closed; });
    Press(window, CCommissionDlg::kChoose);
    counting.afterWrite = [&](int written) {
      if (written == 3) {
        // Esc while the check runs stops it and keeps the window open.
        EXPECT_TRUE(window.Running());
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&window, &esc);
        EXPECT_FALSE(window.Button(CCommissionDlg::kStop).isEnabled());
      }
    };
    Press(window, CCommissionDlg::kCheck);
    EXPECT_EQ(port.Written().size(), 3U);
    EXPECT_EQ(window.SummaryText(), "已取消");
    EXPECT_EQ(closed, 0);

    // 停止运行 after the first write: nothing more is sent, and no check.
    const int base = static_cast<int>(port.Written().size());
    counting.afterWrite = [&](int written) {
      if (written == base + 7) window.Button(CCommissionDlg::kStop).click();
    };
    Press(window, CCommissionDlg::kApply);
    EXPECT_EQ(port.Written().size(), static_cast<std::size_t>(base + 7));
    EXPECT_EQ(meter.UpperLimit(), 4000);
    EXPECT_EQ(meter.LowerLimit(), 100);
    EXPECT_EQ(window.SummaryText(), "已写入并确认: 上限 4000\n未写入: 下限 200\n已取消");
    EXPECT_TRUE(window.Button(CCommissionDlg::kCheck).isEnabled());
    // Once nothing runs, Esc closes the window.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &esc);
    EXPECT_EQ(closed, 1);
    counting.afterWrite = nullptr;
  });
  // The console goes before the port it was given.
  console.reset();
}

TEST_F(CommissionWindow, ARefusedProfileIsToldWithItsKeyAndNothingIsSent) {
  OpenConsole();
  Profile(R"({"baud": 9601})");
  WithWindow([&](CCommissionDlg& window) {
    Press(window, CCommissionDlg::kChoose);
    EXPECT_FALSE(window.Button(CCommissionDlg::kCheck).isEnabled());
    EXPECT_TRUE(window.ProfilePath().isEmpty());
  });
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0], "现场配置不能使用: " + profilePath_ +
                                ": 键 \"baud\" 9601 不是 1200、2400、4800、9600、19200 之一");

  // A value that looks like a placeholder is shown as typed.
  Profile(R"({"parity": "%2"})");
  WithWindow([&](CCommissionDlg& window) { Press(window, CCommissionDlg::kChoose); });
  ASSERT_EQ(ui.messages.size(), 2U);
  EXPECT_EQ(ui.messages[1], "现场配置不能使用: " + profilePath_ +
                                ": 键 \"parity\" \"%2\" 不是 \"none\"、\"odd\"、\"even\" 之一");
  EXPECT_TRUE(port.Written().empty());
}

TEST_F(CommissionWindow, TheReportIsSavedWholeOrNotAtAllWithAClearMessage) {
  OpenConsole();
  Profile(R"({"site": "泵房 2", "upper_limit": 5000})");
  WithWindow([&](CCommissionDlg& window) {
    Press(window, CCommissionDlg::kChoose);
    Press(window, CCommissionDlg::kCheck);

    reportPath_ = dir_.filePath("report.json");
    Press(window, CCommissionDlg::kSave);
    QFile json(reportPath_);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(json.readAll()).object();
    EXPECT_FALSE(report.isEmpty());
    EXPECT_TRUE(report.contains("check"));
    EXPECT_EQ(window.StatusText(), "调试报告已保存: " + reportPath_);

    reportPath_ = dir_.filePath("report.pdf");
    Press(window, CCommissionDlg::kSave);
    QFile pdf(reportPath_);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");

    // A folder that is not there, and a name the writer cannot tell the
    // format of: a message each, no file.
    for (const QString& bad : {dir_.filePath("gone/report.html"), dir_.filePath("report.txt")}) {
      reportPath_ = bad;
      Press(window, CCommissionDlg::kSave);
      EXPECT_FALSE(QFile::exists(bad));
    }
  });
  ASSERT_EQ(ui.messages.size(), 2U);
  for (const QString& message : ui.messages) {
    EXPECT_TRUE(message.startsWith("调试报告未能保存: ")) << message.toStdString();
  }
  EXPECT_TRUE(ui.messages[0].contains("gone/report.html"));
  EXPECT_EQ(ui.messages[1], "调试报告未能保存: " + dir_.filePath("report.txt") +
                                ": 文件名必须以 .json、.html 或 .pdf 结尾");
}

// PT, CT and wiring the meter confirmed through 仪表设置 are shown by the
// check with their time, and an apply does not write them again.
TEST_F(CommissionWindow, InstrumentSettingsConfirmedEarlierInTheRunAreShownAndNotWrittenAgain) {
  OpenConsole();
  ui.answerDialog = [](QDialog& dialog) {
    auto& setup = dynamic_cast<zt::CMeterSetupDlg&>(dialog);
    setup.PtBox()->setText("100");
    setup.CtBox()->setText("5");
    setup.WiringRadio(1)->click();
    setup.accept();
    return setup.result();
  };
  console->OnCommand(id::kInstrumentSetup);  // 0 to 1500 ms
  Profile(R"({"pt": 100, "ct": 5, "wiring": 1})");
  WithWindow([&](CCommissionDlg& window) {
    Press(window, CCommissionDlg::kChoose);
    const std::size_t before = port.Written().size();
    Press(window, CCommissionDlg::kApply);
    for (std::size_t i = before; i < port.Written().size(); ++i) {
      EXPECT_EQ(port.Written()[i].bytes.at(1), 0x03) << "a write on the apply";
    }
    EXPECT_EQ(Row(window, "PT"), QStringList({"PT", "100", "100", "无法读取", "04:00:01",
                                              "不能读回;本次已写入并确认"}));
    EXPECT_EQ(Row(window, "接线方式").value(2), "1");
    EXPECT_EQ(window.SummaryText(), "无需写入\n全部一致");
  });
}

// On the link's own thread the window does not wait for the check: the
// click returns with the check under way, and progress and the table come
// back as the window's event loop runs.
TEST_F(CommissionWindow, OnTheLinkThreadTheClickReturnsAndTheResultComesBackLater) {
  console = std::make_unique<zt::CMeterConsoleDlg>(
      ui, std::make_unique<zt::LinkWorker>(port, clock, settings, zt::LinkWorker::kOwnThread),
      settings);
  console->OnInitDialog();
  console->SetWallClock([this] { return zt::WallTime{kWallStart + clock.Now()}; });
  console->SetCommissionPaths({[this](QWidget*) { return profilePath_; }, {}});
  const auto waitUntil = [](const std::function<bool()>& done) {
    while (!done()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  };
  waitUntil([this] { return !console->Worker().Busy(); });
  Profile(R"({"upper_limit": 5000})");
  WithWindow([&](CCommissionDlg& window) {
    Press(window, CCommissionDlg::kChoose);
    Press(window, CCommissionDlg::kCheck);
    EXPECT_TRUE(window.Running());
    EXPECT_TRUE(window.Button(CCommissionDlg::kStop).isEnabled());
    EXPECT_FALSE(window.Button(CCommissionDlg::kApply).isEnabled());
    EXPECT_EQ(window.Table().rowCount(), 0);
    waitUntil([&] { return !window.Running(); });
    EXPECT_EQ(window.Table().rowCount(), 13);
    EXPECT_EQ(window.SummaryText(), "全部一致");
  });
  EXPECT_EQ(Frames(), CheckFrames(0, 10, kReadsAt1));
  console.reset();
}

}  // namespace
