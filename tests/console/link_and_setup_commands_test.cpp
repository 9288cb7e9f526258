// The commands that change the link, set the instrument up and read the
// meter's clock, on the real console window with a simulated meter.

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "console/comm_settings_dlg.h"
#include "console/meter_setup_dlg.h"
#include "console/settings_memory.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"
#include "sim/fault_config.h"
#include "support/console_fixture.h"
#include "support/golden_frames.h"

namespace {

namespace comm_id = zt::res::comm_id;

using zt::test::At;
namespace frame = zt::test::frame;

namespace id = zt::res::console_id;
using Lines = std::vector<std::string>;
using Op = zt::sim::PortOperation;

class LinkAndSetupTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  // Answers the next dialog as a zt::CCommSettingsDlg with `settings`, or
  // cancels it when `settings` is empty.
  void AnswerSettings(std::optional<zt::LinkSettings> chosen) {
    ui.answerDialog = [chosen](QDialog& dialog) {
      auto& settingsDlg = dynamic_cast<zt::CCommSettingsDlg&>(dialog);
      if (!chosen) return int{QDialog::Rejected};
      const std::map<int32_t, int> baudRadio = {
          {1200, 1011}, {2400, 1012}, {4800, 1013}, {9600, 1014}, {19200, 1015}};
      settingsDlg.Radio(baudRadio.at(chosen->baudRate))->click();
      settingsDlg.Radio(comm_id::kCom1 - 1 + chosen->port)->click();
      settingsDlg.Radio(comm_id::kParityNone + chosen->parity)->click();
      settingsDlg.AddressBox()->setText(QString::number(chosen->address));
      settingsDlg.accept();
      return settingsDlg.result();
    };
  }

  // Answers the setup dialog: records what it offered, then types `pt`, `ct`
  // and picks `mode`, or cancels when `pt` is empty.
  void AnswerSetup(std::optional<QString> pt, QString ct = "1", uint8_t mode = 0) {
    ui.answerDialog = [=, this](QDialog& dialog) {
      auto& setup = dynamic_cast<zt::CMeterSetupDlg&>(dialog);
      offered.push_back(setup.PtBox()->text() + "/" + setup.CtBox()->text());
      for (uint8_t m = 0; m < 6; ++m) {
        if (setup.WiringRadio(m)->isChecked()) offered.back() += "/" + setup.WiringRadio(m)->text();
      }
      if (!pt) return int{QDialog::Rejected};
      setup.PtBox()->setText(*pt);
      setup.CtBox()->setText(ct);
      setup.WiringRadio(mode)->click();
      setup.accept();
      return setup.result();
    };
  }

  std::vector<Op> OperationsAfterDialog() const {
    std::vector<Op> ops;
    for (const Op op : port.Operations()) {
      if (op == Op::Close || op == Op::SelectPort || op == Op::SetLineFormat || op == Op::Open ||
          op == Op::DiscardPendingInput) {
        ops.push_back(op);
      }
    }
    return ops;
  }

  std::vector<QString> offered;
};

TEST_F(LinkAndSetupTest, BaudChangeConfirmedByTheMeterReopensAtTheNewRate) {
  Open();
  port.ClearLogs();
  AnswerSettings(zt::LinkSettings{1, 1, 19200, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  // The first write on a fresh line follows a read that tells whether the
  // line echoes.
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(600, frame::kWriteLinkBaud19200)}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(console->Settings().baudRate, 19200);
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "19200,N,8,2");
  EXPECT_EQ(console->LinkInfoText(),
            "\r\n仪表地址: 1 \r\n\r\n串口:     1 \r\n\r\n波特率:  19200 \r\n\r\n校验位: 无校验");
  // Discard, write (the echo probe), discard, write (the baud request), then
  // the reconfiguration in its order.
  const std::vector<Op> ops = OperationsAfterDialog();
  EXPECT_EQ(std::vector<Op>(ops.begin() + 2, ops.end()),
            (std::vector<Op>{Op::Close, Op::SelectPort, Op::SetLineFormat, Op::Open,
                             Op::DiscardPendingInput}));

  // The meter now answers at 19200 only, and so does the console.
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Box(id::kSuccessCount), "1");
}

TEST_F(LinkAndSetupTest, OnlySettingsTheMeterConfirmedAreRemembered) {
  QTemporaryDir dir;
  zt::SettingsMemory memory(dir.filePath("zt6100-console.ini"));
  Open();
  console->SetSettingsMemory(&memory);
  const zt::LinkSettings before = memory.Load().link;

  Silence();
  AnswerSettings(zt::LinkSettings{1, 1, 19200, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  ASSERT_EQ(ui.messages, (std::vector<QString>{"改变波特率不成功 (仪表无应答)"}));
  EXPECT_EQ(memory.Load().link, before) << "a rate the meter never took is not offered again";

  // A new address is remembered once a poll has answered there.
  port.SetFaults({});
  meter.SetAddress(7);
  AnswerSettings(zt::LinkSettings{7, 1, 9600, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  EXPECT_EQ(memory.Load().link, before);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  ASSERT_EQ(Box(id::kSuccessCount), "1");
  EXPECT_EQ(memory.Load().link, (zt::LinkSettings{7, 1, 9600, zt::kParityNone}));
}

TEST_F(LinkAndSetupTest, UnconfirmedBaudChangeKeepsTheOldRateButTakesTheRest) {
  Open();
  Silence();
  AnswerSettings(zt::LinkSettings{9, 2, 19200, zt::kParityOdd});
  console->OnCommand(id::kCommSettings);
  // The unanswered echo probe leaves the line dirty: a reply may still be
  // coming, so the write waits for the guard limit of 2 s after its deadline.
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(2600, frame::kWriteLinkBaud19200)}))
      << "sent to the old address";
  EXPECT_EQ(ui.messages, (std::vector<QString>{"改变波特率不成功 (仪表无应答)"}));
  EXPECT_EQ(console->Settings(), (zt::LinkSettings{9, 2, 9600, zt::kParityOdd}));
  EXPECT_EQ(port.SelectedPort(), 2);
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "9600,O,8,2");
  EXPECT_TRUE(console->LinkInfoText().ends_with("波特率:  9600 \r\n\r\n校验位:  奇校验"));
  EXPECT_TRUE(console->LinkInfoText().starts_with("\r\n仪表地址: 9 \r\n"));
}

TEST_F(LinkAndSetupTest, NewAddressAndRateTogetherAskTheOldAddress) {
  settings.address = 3;
  meter.SetAddress(3);
  Open();
  AnswerSettings(zt::LinkSettings{5, 1, 19200, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  ASSERT_EQ(Frames().size(), 2U);
  EXPECT_EQ(Frames()[0].substr(0, 11), "0: 03 03 00") << "the echo probe";
  EXPECT_EQ(Frames()[1].substr(0, 13), "600: 03 06 00");
  EXPECT_EQ(console->Settings(), (zt::LinkSettings{5, 1, 19200, zt::kParityNone}));
  EXPECT_TRUE(console->LinkInfoText().starts_with("\r\n仪表地址: 5 \r\n"));
  EXPECT_EQ(Box(id::kDeviceAddress), "5") << "修改地址 starts from the address now used";
}

TEST_F(LinkAndSetupTest, ParityChangeSendsNoFrameAndCancelChangesNothing) {
  Open();
  AnswerSettings(zt::LinkSettings{1, 1, 9600, zt::kParityOdd});
  console->OnCommand(id::kCommSettings);
  EXPECT_TRUE(Frames().empty());
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "9600,O,8,2");
  EXPECT_TRUE(console->LinkInfoText().ends_with("校验位:  奇校验"));

  port.ClearLogs();
  const std::string infoBefore = console->LinkInfoText();
  AnswerSettings(std::nullopt);
  console->OnCommand(id::kCommSettings);
  EXPECT_TRUE(Frames().empty());
  EXPECT_EQ(port.Operations(), (std::vector<Op>{Op::DiscardPendingInput}));
  EXPECT_EQ(console->LinkInfoText(), infoBefore);
}

TEST_F(LinkAndSetupTest, BaudChangeOverRawTcpAsksForTheServersRateOnceTheMeterConfirmed) {
  Open();
  port.SetLineFormatElsewhere(true);  // a server reached by raw TCP keeps 9600
  AnswerSettings(zt::LinkSettings{1, 1, 19200, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  EXPECT_EQ(ui.messages, (std::vector<QString>{QString::fromUtf8(
                             "已通知仪表新的波特率，请将网络串口服务器的串口设为 19200 bit/s")}));
  EXPECT_EQ(console->Settings().baudRate, 19200);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Box(id::kFailureCount), "1") << "until the server is set, the meter is not heard";

  // A rate the meter does not confirm (it no longer hears this line) asks
  // for nothing on the server.
  ui.messages.clear();
  AnswerSettings(zt::LinkSettings{1, 1, 4800, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  EXPECT_EQ(ui.messages, (std::vector<QString>{QString::fromUtf8("改变波特率不成功 (仪表无应答)")}));
}

TEST_F(LinkAndSetupTest, PortNotOpenIsShownUntilAnOpenSucceeds) {
  port.FailOpen("No such file or directory");
  Open();
  EXPECT_EQ(console->StateText(), "串口未打开");
  AnswerSettings(zt::LinkSettings{1, 1, 9600, zt::kParityNone});
  console->OnCommand(id::kCommSettings);
  EXPECT_EQ(console->StateText(), "串口未打开");
  port.AllowOpen();
  console->OnCommand(id::kCommSettings);
  EXPECT_EQ(console->StateText(), "");

  port.Vanish();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(console->StateText(), "设备已断开") << "an adapter pulled out while polling";
}

TEST_F(LinkAndSetupTest, InstrumentSetupWritesPtCtAndWiringInOrder) {
  Open();
  AnswerSetup("100", "5", 1);
  console->OnCommand(id::kInstrumentSetup);
  EXPECT_EQ(offered, (std::vector<QString>{"1/1/3相4线(非平衡)"}));
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint),
                             At(600, frame::kWritePt100),
                             At(900, frame::kWriteCt5),
                             At(1200, frame::kWriteWiring1)}));
  EXPECT_EQ(ui.messages, (std::vector<QString>{"设置仪表参数成功"}));
  EXPECT_EQ(meter.PtRatio(), 100);
  EXPECT_EQ(meter.CtRatio(), 5);
  EXPECT_EQ(meter.Wiring(), 1);

  AnswerSetup(std::nullopt);
  console->OnCommand(id::kInstrumentSetup);
  EXPECT_EQ(offered.back(), "100/5/单相2线");
  EXPECT_EQ(Frames().size(), 4U) << "cancel sends nothing";
}

TEST_F(LinkAndSetupTest, UnconfirmedCtEndsTheSequenceAndKeepsTheConfirmedPt) {
  Open();
  SilenceRegisters(0x0004, 0x0005);  // the CT ratio
  AnswerSetup("100", "5", 1);
  console->OnCommand(id::kInstrumentSetup);
  EXPECT_EQ(Frames().size(), 3U) << "the echo probe, PT and CT; the wiring mode is not sent";
  EXPECT_EQ(ui.messages, (std::vector<QString>{"设置CT不成功 (仪表无应答)"}));

  AnswerSetup(std::nullopt);
  console->OnCommand(id::kInstrumentSetup);
  EXPECT_EQ(offered.back(), "100/1/3相4线(非平衡)");
}

TEST_F(LinkAndSetupTest, RatiosOutsideOneTo64000AreRefusedByTheDialog) {
  Open();
  for (const QString pt : {"0", "64001", "", "x"}) {
    ui.messages.clear();
    zt::CMeterSetupDlg dialog(ui);
    dialog.SetValues({1, 1, 0});
    ui.answerDialog = [&](QDialog&) {
      dialog.PtBox()->setText(pt);
      dialog.accept();
      return dialog.result();
    };
    EXPECT_NE(dialog.DoModal(), QDialog::Accepted) << pt.toStdString();
    EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个介于 1 和 64000 之间的整数。"}));
  }
  ui.messages.clear();
  AnswerSetup("64000", "1", 0);
  console->OnCommand(id::kInstrumentSetup);
  ASSERT_EQ(Frames().size(), 4U);
  EXPECT_EQ(Frames()[1].substr(0, 34), "600: 01 10 00 00 00 02 04 FA 00 00");
  EXPECT_EQ(ui.messages, (std::vector<QString>{"设置仪表参数成功"}));
}

TEST_F(LinkAndSetupTest, ClockReadShowsTheMetersBinaryBytes) {
  Open();
  meter.SetClock({2006, 12, 15, 10, 30, 45});
  console->OnCommand(id::kReadMeterClock);
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadClock)}));
  EXPECT_EQ(Now(), std::chrono::milliseconds(300));
  meter.SetClock({2255, 0, 1, 0, 0x59, 0});
  console->OnCommand(id::kReadMeterClock);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"当前时间:  2006年12月15日 10时30分45秒",
                                               "当前时间:  2255年00月01日 00时89分00秒"}));
}

TEST_F(LinkAndSetupTest, ClockReadThroughNoiseAndFailures) {
  Open();
  meter.SetClock({2006, 12, 15, 10, 30, 45});
  zt::sim::FaultConfig faults;
  faults.noiseBytes = 3;
  port.SetFaults(faults);
  console->OnCommand(id::kReadMeterClock);
  faults = {};
  faults.exceptionReply = true;
  port.SetFaults(faults);
  console->OnCommand(id::kReadMeterClock);
  faults = {};
  faults.silent = true;
  port.SetFaults(faults);
  console->OnCommand(id::kReadMeterClock);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"当前时间:  2006年12月15日 10时30分45秒",
                                               "读时间不成功 (仪表拒绝: 异常 04)",
                                               "读时间不成功 (仪表无应答)"}));
}

// Each of the three commands leaves timer 1 and the poll controls as the
// technician last set them, except the link change, which stops the poll and
// says so.
struct TimerRow {
  const char* name;
  int command;
  bool pollingAfterwards;
};

class TimerDiscipline : public LinkAndSetupTest,
                        public testing::WithParamInterface<std::tuple<TimerRow, bool>> {};

TEST_P(TimerDiscipline, PollKeepsItsStateOnTheTimerAndOnTheWindow) {
  const auto& [row, polling] = GetParam();
  Open();
  if (polling) console->OnCommand(id::kStartPolling);
  bool timerRanDuringCommand = false;
  ui.onMessage = [&](const QString&) {
    timerRanDuringCommand |= console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer);
  };
  ui.answerDialog = [&](QDialog&) {
    timerRanDuringCommand |= console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer);
    return int{QDialog::Rejected};
  };
  console->OnCommand(row.command);
  EXPECT_FALSE(timerRanDuringCommand);
  const bool expectPolling = polling && row.pollingAfterwards;
  EXPECT_EQ(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer), expectPolling);
  EXPECT_EQ(Enabled(id::kStartPolling), !expectPolling);
  EXPECT_EQ(Enabled(id::kWriteParameters), !expectPolling);
  if (polling) {
    EXPECT_EQ(Box(id::kStatus), expectPolling ? "正在读测量数据..." : "已停止读测量数据...");
  } else {
    EXPECT_EQ(Box(id::kStatus), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TimerDiscipline,
    testing::Combine(testing::Values(TimerRow{"CommSettings", id::kCommSettings, false},
                                     TimerRow{"InstrumentSetup", id::kInstrumentSetup, true},
                                     TimerRow{"MeterClock", id::kReadMeterClock, true}),
                     testing::Bool()),
    [](const testing::TestParamInfo<std::tuple<TimerRow, bool>>& row) {
      return std::string(std::get<0>(row.param).name) +
             (std::get<1>(row.param) ? "WhilePolling" : "WhileStopped");
    });

TEST_F(LinkAndSetupTest, HiddenCommandsHaveMenuItems) {
  Open();
  meter.SetClock({2006, 12, 15, 10, 30, 45});
  console->MenuAction(id::kReadMeterClock)->trigger();
  EXPECT_EQ(ui.messages.size(), 1U);
  AnswerSetup(std::nullopt);
  console->MenuAction(id::kInstrumentSetup)->trigger();
  EXPECT_EQ(offered.size(), 1U);
}

}  // namespace

namespace {

// A rate chosen by hand after "搜索仪表" found the meter is told to that
// meter, at the address and rate it was found at.
TEST_F(LinkAndSetupTest, ARateChosenAfterASearchIsToldToTheMeterFound) {
  meter.SetAddress(7);
  Open();
  ui.answerDialog = [](QDialog& dialog) {
    auto& settingsDlg = dynamic_cast<zt::CCommSettingsDlg&>(dialog);
    settingsDlg.FindButton()->click();
    EXPECT_FALSE(settingsDlg.Finding());
    EXPECT_EQ(settingsDlg.AddressBox()->text(), "7");
    settingsDlg.Radio(comm_id::kBaud19200)->click();
    settingsDlg.accept();
    return settingsDlg.result();
  };
  console->OnCommand(id::kCommSettings);
  ASSERT_FALSE(Frames().empty());
  EXPECT_NE(Frames().back().find(": 07 06 00 08"), std::string::npos)
      << "the rate change goes to address 7: " << Frames().back();
  EXPECT_EQ(console->Settings(), (zt::LinkSettings{7, 1, 19200, zt::kParityNone}));
  EXPECT_EQ(meter.Address(), 7);
}

// After a setup the meter did not confirm, the dialog opens again with what
// was typed, until the technician cancels it.
TEST_F(LinkAndSetupTest, AFailedSetupOpensTheDialogAgainWithWhatWasTyped) {
  Open();
  SilenceRegisters(0x0004, 0x0005);  // the CT ratio
  AnswerSetup("100", "5", 1);
  console->OnCommand(id::kInstrumentSetup);
  ASSERT_EQ(ui.messages, (std::vector<QString>{"设置CT不成功 (仪表无应答)"}));
  AnswerSetup(std::nullopt);
  QCoreApplication::processEvents();
  ASSERT_EQ(offered.size(), 2U) << "the dialog opened again";
  EXPECT_TRUE(offered.back().startsWith("100/5/")) << offered.back().toStdString();
  EXPECT_NE(offered.back(), offered.front()) << "the wiring typed, not the one offered first";
  QCoreApplication::processEvents();
  EXPECT_EQ(offered.size(), 2U) << "cancel ends it";
}

}  // namespace
