// Every meter command of the console, byte for byte and millisecond for
// millisecond on the simulated line. A change to how the window runs its
// commands must leave them exactly as they are. The first write on a fresh
// line follows a read of the decimal point that tells whether the line
// echoes what is sent.

#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <functional>

#include "console/comm_settings_dlg.h"
#include "console/meter_setup_dlg.h"
#include "console/trend_dlg.h"
#include "support/console_fixture.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"

namespace {

namespace comm_id = zt::res::comm_id;
namespace id = zt::res::console_id;
using Lines = std::vector<std::string>;

struct GoldenRow {
  const char* name;
  std::function<void(zt::test::ConsoleFixture&)> run;
  Lines frames;  // "ms: hex", the time of each write from the first command on
  int endMs;     // the virtual time when the command has returned
};

void Tick(zt::test::ConsoleFixture& f) { f.console->OnTimer(zt::CMeterConsoleDlg::kPollTimer); }

void TypeParameters(zt::test::ConsoleFixture& f) {
  f.Type(id::kDecimalPoint, "2");
  f.Type(id::kUpperLimit, "1000");
  f.Type(id::kLowerLimit, "100");
  f.Type(id::kMeterBaud, "9600");
}

void AnswerSettings(zt::test::ConsoleFixture& f, zt::LinkSettings chosen) {
  f.ui.answerDialog = [chosen](QDialog& dialog) {
    auto& settings = dynamic_cast<zt::CCommSettingsDlg&>(dialog);
    settings.Radio(chosen.baudRate == 19200 ? 1015 : 1014)->click();
    settings.Radio(comm_id::kParityNone + chosen.parity)->click();
    settings.AddressBox()->setText(QString::number(chosen.address));
    settings.accept();
    return settings.result();
  };
}

const GoldenRow kGolden[] = {
    {"PollTicksBackToBack",
     [](auto& f) {
       f.console->OnCommand(id::kStartPolling);
       Tick(f);
       Tick(f);
     },
     {"0: 01 03 00 06 00 01 64 0B", "900: 01 03 00 00 00 01 84 0A",
      "1500: 01 03 00 06 00 01 64 0B", "2400: 01 03 00 00 00 01 84 0A"},
     3000},
    {"ReadParameters",
     [](auto& f) { f.console->OnCommand(id::kReadParameters); },
     {"0: 01 03 03 02 00 01 25 8E", "600: 01 03 03 04 00 01 C5 8F",
      "1200: 01 03 00 06 00 01 64 0B", "1800: 01 03 03 08 00 01 05 8C"},
     2400},
    {"WriteParameters",
     [](auto& f) {
       TypeParameters(f);
       f.console->OnCommand(id::kWriteParameters);
     },
     {"0: 01 03 00 06 00 01 64 0B", "600: 01 06 00 06 00 02 E8 0A",
      "900: 01 06 03 02 03 E8 28 F0", "1200: 01 06 03 04 00 64 C9 A4",
      "1500: 01 06 03 08 00 03 48 4D"},
     1800},
    {"ChangeAddress",
     [](auto& f) {
       f.Type(id::kDeviceAddress, "5");
       f.console->OnCommand(id::kChangeAddress);
     },
     {"0: 01 03 00 06 00 01 64 0B", "600: 01 06 03 00 00 05 49 8D"},
     900},
    {"ReadSwitchStatus",
     [](auto& f) { f.console->OnCommand(id::kReadSwitchStatus); },
     {"0: 01 03 00 16 00 01 65 CE"},
     600},
    {"BaudChangeThenPollAtTheNewRate",
     [](auto& f) {
       AnswerSettings(f, {1, 1, 19200, zt::kParityNone});
       f.console->OnCommand(id::kCommSettings);
       Tick(f);
     },
     {"0: 01 03 00 06 00 01 64 0B", "600: 01 06 00 08 00 04 09 CB",
      "900: 01 03 00 06 00 01 64 0B", "1800: 01 03 00 00 00 01 84 0A"},
     2400},
    {"InstrumentSetup",
     [](auto& f) {
       f.ui.answerDialog = [](QDialog& dialog) {
         auto& setup = dynamic_cast<zt::CMeterSetupDlg&>(dialog);
         setup.PtBox()->setText("100");
         setup.CtBox()->setText("5");
         setup.WiringRadio(1)->click();
         setup.accept();
         return setup.result();
       };
       f.console->OnCommand(id::kInstrumentSetup);
     },
     {"0: 01 03 00 06 00 01 64 0B", "600: 01 10 00 00 00 02 04 00 64 00 00 B2 70",
      "900: 01 10 00 04 00 02 04 00 05 00 00 E2 5D", "1200: 01 06 00 02 00 01 E9 CA"},
     1500},
    {"ReadMeterClock",
     [](auto& f) { f.console->OnCommand(id::kReadMeterClock); },
     {"0: 01 03 01 10 00 03 05 F2"},
     300},
};

class GoldenFrames : public testing::TestWithParam<GoldenRow>,
                     protected zt::test::ConsoleFixture {};

TEST_P(GoldenFrames, CommandSendsItsFramesAtTheirTimes) {
  const GoldenRow& row = GetParam();
  Open();
  row.run(*this);
  EXPECT_EQ(Frames(), row.frames);
  EXPECT_EQ(Now(), std::chrono::milliseconds(row.endMs));
  if (console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer)) {
    console->OnCommand(id::kStopPolling);
  }
}

// The trend only watches what the window already has: open from the start,
// or opened and closed again, it moves no frame and no millisecond.
TEST_P(GoldenFrames, SameFramesWithTheTrendOpen) {
  const GoldenRow& row = GetParam();
  Open();
  console->OnTrend();
  row.run(*this);
  EXPECT_EQ(Frames(), row.frames);
  EXPECT_EQ(Now(), std::chrono::milliseconds(row.endMs));
}

TEST_P(GoldenFrames, SameFramesWithTheTrendOpenedAndClosed) {
  const GoldenRow& row = GetParam();
  Open();
  console->OnTrend().close();
  row.run(*this);
  EXPECT_EQ(Frames(), row.frames);
  EXPECT_EQ(Now(), std::chrono::milliseconds(row.endMs));
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, GoldenFrames, testing::ValuesIn(kGolden),
                         [](const testing::TestParamInfo<GoldenRow>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
