// The console window and its dialogs on an X server (Xvfb in the suite), in
// English and in Chinese: every caption fits its control, no Chinese
// character is left in English, and a screenshot of each English window is
// saved next to the test binary.

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>

#include "console/about_dlg.h"
#include "console/comm_settings_dlg.h"
#include "console/frame_monitor_dlg.h"
#include "console/link_diagnostics_dlg.h"
#include "console/meter_setup_dlg.h"
#include "console/save_interval_dlg.h"
#include "console/trend_dlg.h"
#include "console/window_text.h"
#include "res/console_template.h"
#include "res/texts.h"
#include "res/translatable.h"
#include "screenshot/caption_fit.h"
#include "support/console_fixture.h"
#include "support/installed_language.h"

namespace {

namespace id = zt::res::console_id;

using zt::test::CheckControls;
using zt::test::FitReport;
using zt::test::OnXServer;
using zt::test::Plain;
using zt::test::SaveShot;
using zt::test::ShowAndWait;

class WindowFit : public testing::TestWithParam<zt::report::Language>,
                  protected zt::test::ConsoleFixture {
 protected:
  void SetUp() override {
    if (!OnXServer()) {
      GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
  }

  zt::test::InstalledLanguage language{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Languages, WindowFit,
                         testing::Values(zt::report::Language::kEnglish, zt::report::Language::kChinese),
                         [](const testing::TestParamInfo<zt::report::Language>& row) {
                           return row.param == zt::report::Language::kEnglish ? "English" : "Chinese";
                         });

TEST_P(WindowFit, ConsoleCaptionsFitTheirControls) {
  Open();
  console->OnReadParameters();
  console->OnReadSwitchStatus();
  console->OnStartPolling();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  ShowAndWait(*console);
  SaveShot(*console, GetParam(), "console-window");

  FitReport report(GetParam());
  CheckControls(*console, "console", report);

  // Every text the status box and the link information box can hold.
  QWidget* status = console->Control(id::kStatus);
  const QFontMetrics metrics(status->font());
  for (const char* text : {zt::res::text::kPolling, zt::res::text::kStopped,
                           zt::res::text::kParametersRead, zt::res::text::kParametersReadFailed,
                           zt::res::text::kWritingParameters, zt::res::text::kChangingAddress}) {
    report.Check("status box", zt::Tr(text), metrics.horizontalAdvance(zt::Tr(text)) + 4,
                 status->contentsRect().width());
  }
  // The link information box has room for the lines of the settings, with
  // no scroll bar; the note of an echoing adapter, two lines more, is reached
  // by the scroll bar it then gets.
  auto* linkInfo = static_cast<QPlainTextEdit*>(console->Control(id::kLinkInfo));
  const QString widestInfo =
      QString::fromStdString(zt::LinkInformationText({255, 2, 19200, zt::kParityEven}, false, true));
  for (const QString& line : widestInfo.split("\r\n")) {
    report.Check("link information", line, metrics.horizontalAdvance(line),
                 linkInfo->viewport()->width());
  }
  const QString settingsInfo =
      QString::fromStdString(zt::LinkInformationText({255, 2, 19200, zt::kParityEven}, false));
  const int infoLines = static_cast<int>(settingsInfo.count("\r\n")) + 1;
  report.Check("link information lines", settingsInfo, infoLines * metrics.lineSpacing(),
               linkInfo->viewport()->height());

  // The states of the relay and switch boxes.
  for (const auto& [box, texts] :
       {std::pair{id::kRelayOutput, std::pair{zt::res::text::kRelayOn, zt::res::text::kRelayOff}},
        std::pair{id::kSwitchInput,
                  std::pair{zt::res::text::kInputClosed, zt::res::text::kInputOpen}}}) {
    QWidget* stateBox = console->Control(box);
    for (const char* text : {texts.first, texts.second}) {
      const QString state = zt::Tr(text, zt::res::kSwitchStateMeaning);
      report.Check("state box", state, QFontMetrics(stateBox->font()).horizontalAdvance(state),
                   stateBox->width());
    }
  }

  // The menu bar: its titles and, at its right, every state at once.
  auto* menuBar = console->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  QString titles;
  int titlesWidth = 0;
  for (QAction* menu : menuBar->actions()) {
    titlesWidth += menuBar->actionGeometry(menu).width();
    titles += Plain(menu->text()) + " ";
    for (QAction* item : menu->menu()->actions()) {
      report.Check("menu item", item->text(), 0, 0);
    }
  }
  const QString allStates = zt::Tr(zt::res::text::kDeviceLost) + "  " +
                            zt::Tr(zt::res::text::kLoggingFailing) + "  " +
                            zt::Tr(zt::res::text::kLinkBusy);
  const QFontMetrics barMetrics(menuBar->font());
  report.Check("menu bar", titles + allStates,
               titlesWidth + barMetrics.horizontalAdvance(allStates) + 12, menuBar->width());
  report.Check("window title", console->windowTitle(), 0, 0);

  // The windows beside the console, opened from its menu, after a poll.
  const std::pair<QDialog*, const char*> tools[] = {
      {&console->OnLinkDiagnostics(), "diagnostics"},
      {&console->OnFrameMonitor(), "monitor"},
  };
  for (const auto& [tool, name] : tools) {
    tool->hide();
  }
  for (const auto& [tool, name] : tools) {
    ShowAndWait(*tool);
    SaveShot(*tool, GetParam(), QStringLiteral("%1-window").arg(name));
    CheckControls(*tool, name, report);
    report.Check(QString(name) + " title", tool->windowTitle(), 0, 0);
    tool->hide();
  }

  EXPECT_EQ(report.Problems(), "");
}

TEST_P(WindowFit, DialogCaptionsFitTheirControls) {
  zt::CCommSettingsDlg settingsDialog(ui);
  settingsDialog.SetSettings({1, 1, 9600, zt::kParityNone});
  zt::CMeterSetupDlg setupDialog(ui);
  zt::CSaveIntervalDlg intervalDialog(ui);
  zt::CAboutDlg aboutDialog;
  // The trend with its widest figures: a failed poll between two of the
  // largest values a meter can show.
  zt::CTrendDlg trendDialog(ui, nullptr);
  trendDialog.AddPoll(1'796'000'000'000, 65535.0, 0);
  trendDialog.AddPoll(1'796'000'001'500, std::nullopt, 0);
  trendDialog.AddPoll(1'796'000'003'000, 65535.0, 0);
  trendDialog.Refresh();
  FitReport report(GetParam());
  const std::pair<QDialog*, const char*> dialogs[] = {
      {&settingsDialog, "settings"},
      {&setupDialog, "setup"},
      {&intervalDialog, "interval"},
      {&aboutDialog, "about"},
      {&trendDialog, "trend"},
  };
  for (const auto& [dialog, name] : dialogs) {
    ShowAndWait(*dialog);
    SaveShot(*dialog, GetParam(), QStringLiteral("%1-dialog").arg(name));
    CheckControls(*dialog, name, report);
    report.Check(QString(name) + " title", dialog->windowTitle(), 0, 0);
    dialog->hide();
  }
  EXPECT_EQ(report.Problems(), "");
}

// Both port numbers on serial device servers: the rows of host, port and
// kind below the dialog's foot, inside the dialog, every caption fitting.
TEST_P(WindowFit, TheSettingsDialogsServerRowsFit) {
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({1, 1, 9600, zt::kParityNone});
  zt::PortDevices devices;
  devices.For(1) = "tcp://meter-gateway.example:4001";
  devices.For(2) = "rfc2217://[fd00::17]:2217";
  dialog.SetDevices(devices);
  FitReport report(GetParam());
  ui.answerDialog = [&](QDialog& shown) {
    ShowAndWait(shown);
    SaveShot(shown, GetParam(), QStringLiteral("settings-servers-dialog"));
    CheckControls(shown, "settings with servers", report);
    for (const int16_t number : {int16_t{1}, int16_t{2}}) {
      EXPECT_TRUE(dialog.ServerHostBox(number)->isVisible()) << number;
      EXPECT_TRUE(shown.rect().contains(dialog.ServerKindBox(number)->geometry())) << number;
    }
    shown.hide();
    return int{QDialog::Rejected};
  };
  dialog.DoModal();
  EXPECT_EQ(report.Problems(), "");
}

}  // namespace
