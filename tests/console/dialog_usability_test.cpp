// What a technician meets in the dialogs themselves: radios that can be told
// apart and worked from the keyboard, captions as the templates give them,
// Qt's standard buttons in Chinese, values that fit their boxes.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "console/comm_settings_dlg.h"
#include "console/meter_setup_dlg.h"
#include "console/state_char_box.h"
#include "sim/fault_config.h"
#include "support/console_fixture.h"
#include "support/menu_mnemonics.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"

namespace {

namespace comm_id = zt::res::comm_id;

void Press(Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(QApplication::focusWidget(), &press);
}

// Types `text` into `box` key by key, as a keyboard would.
void KeyClicks(QWidget* box, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &press);
  }
}

void ShowActive(QWidget& window) {
  window.show();
  QApplication::setActiveWindow(&window);
}

// The colour at the middle of a radio's indicator, as the style paints it.
QColor IndicatorCentre(QRadioButton& radio) {
  QStyleOptionButton option;
  option.initFrom(&radio);
  const QRect indicator = radio.style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option,
                                                         &radio);
  return radio.grab().toImage().pixelColor(indicator.center());
}

double Luminance(const QColor& colour) {
  const auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
         0.0722 * channel(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(DialogUsability, CheckedRadioStandsOutFromItsCircle) {
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({});
  ui.answerDialog = [&](QDialog&) {
    ShowActive(dialog);
    const QColor checked = IndicatorCentre(*dialog.Radio(comm_id::kBaud9600));
    const QColor unchecked = IndicatorCentre(*dialog.Radio(comm_id::kBaud4800));
    EXPECT_GE(Contrast(checked, unchecked), 4.5)
        << checked.name().toStdString() << " on " << unchecked.name().toStdString();
    dialog.hide();
    return int{QDialog::Rejected};
  };
  dialog.DoModal();
}

TEST(DialogUsability, TabReachesEachRadioSetAndArrowsChangeIt) {
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({1, 1, 9600, zt::kParityNone});
  ui.answerDialog = [&](QDialog&) { return int{QDialog::Accepted}; };
  dialog.DoModal();  // fills the controls
  ShowActive(dialog);
  dialog.AddressBox()->setFocus();
  std::vector<QWidget*> stops;
  for (int i = 0; i < 3; ++i) {
    Press(Qt::Key_Tab);
    stops.push_back(QApplication::focusWidget());
  }
  EXPECT_EQ(stops, (std::vector<QWidget*>{dialog.Radio(comm_id::kBaud9600),
                                          dialog.Radio(comm_id::kCom1),
                                          dialog.Radio(comm_id::kParityNone)}))
      << "one stop per set, at its checked radio";

  dialog.Radio(comm_id::kBaud9600)->setFocus();
  Press(Qt::Key_Down);
  EXPECT_TRUE(dialog.Radio(comm_id::kBaud19200)->isChecked());
  Press(Qt::Key_Up);
  Press(Qt::Key_Up);
  EXPECT_TRUE(dialog.Radio(comm_id::kBaud4800)->isChecked());
  EXPECT_FALSE(dialog.Radio(comm_id::kBaud9600)->isChecked());
  EXPECT_TRUE(dialog.Radio(comm_id::kCom1)->isChecked()) << "the other sets keep their checks";
  EXPECT_TRUE(dialog.Radio(comm_id::kParityNone)->isChecked());
  dialog.accept();
  EXPECT_EQ(dialog.Settings().baudRate, 4800);
  dialog.hide();
}

TEST(DialogUsability, WiringModeFollowsTheArrowKeys) {
  zt::test::RecordingUi ui;
  zt::CMeterSetupDlg dialog(ui);
  dialog.SetValues({1, 1, 0});
  ShowActive(dialog);
  ui.answerDialog = [&](QDialog&) {
    dialog.WiringRadio(0)->setFocus();
    Press(Qt::Key_Down);
    dialog.accept();
    return dialog.result();
  };
  ASSERT_EQ(dialog.DoModal(), QDialog::Accepted);
  EXPECT_EQ(dialog.GetValues().wiringMode, 1);
  EXPECT_EQ(dialog.windowTitle(), "仪表设置");
  dialog.hide();
}

TEST(DialogUsability, WidestLiveValuesFitTheirBox) {
  zt::test::ConsoleFixture fixture;
  fixture.Open();
  auto* box = static_cast<QLineEdit*>(fixture.console->Control(zt::res::console_id::kLiveValue));
  // The frame on each side and the line edit's own margin of 2 pixels.
  const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
  const int room = box->width() - 2 * frame - 4;
  for (const QString value : {"-32768.0000", "65535.0000", "64000.0000"}) {
    EXPECT_LE(box->fontMetrics().horizontalAdvance(value), room) << value.toStdString();
  }
}

// The pixel of `image` that stands out most from `ground`, outside the
// widget's own background: the core of the strokes as painted, their
// anti-aliased edges lying between it and the ground.
QColor StrongestPixel(const QImage& image, const QColor& ground) {
  const QColor background = image.pixelColor(0, 0);
  QColor strongest;
  double most = 1.0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      const double contrast = Contrast(pixel, ground);
      if (pixel != background && contrast > most) {
        most = contrast;
        strongest = pixel;
      }
    }
  }
  return strongest;
}

class SwitchColoursTest : public testing::Test, protected zt::test::ConsoleFixture {};
using ChineseMenuTest = SwitchColoursTest;

TEST_F(ChineseMenuTest, EveryMenuAndItemHasALatinMnemonic) {
  Open();
  const QStringList problems =
      zt::test::MnemonicProblems(*console->findChild<QMenuBar*>(), true);
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

TEST_F(SwitchColoursTest, StateCharactersAreReadableOnTheirCellAndKeepTheirMeaning) {
  Open();
  auto* relay = static_cast<zt::StateCharBox*>(console->Control(zt::res::console_id::kRelayOutput));
  auto* input = static_cast<zt::StateCharBox*>(console->Control(zt::res::console_id::kSwitchInput));
  for (const uint8_t on : {uint8_t{1}, uint8_t{0}}) {
    meter.SetRelayOutput(on);
    meter.SetSwitchInput(on);
    console->OnCommand(zt::res::console_id::kReadSwitchStatus);
    for (zt::StateCharBox* box : {relay, input}) {
      const QColor painted = StrongestPixel(box->grab().toImage(), zt::StateCharBox::kCellGrey);
      ASSERT_TRUE(painted.isValid()) << "no character painted";
      EXPECT_GE(Contrast(painted, zt::StateCharBox::kCellGrey), 4.5)
          << box->Character().toStdString() << " painted " << painted.name().toStdString();
      // Red for on or closed, green for off or open.
      if (on == 1) {
        EXPECT_GT(painted.red(), 2 * std::max(painted.green(), painted.blue()));
      } else {
        EXPECT_GT(painted.green(), 2 * std::max(painted.red(), painted.blue()));
      }
    }
    EXPECT_EQ(relay->Character(), on == 1 ? "通" : "断");
    EXPECT_EQ(input->Character(), on == 1 ? "合" : "分");
  }
}

TEST_F(SwitchColoursTest, TheHealthLineIsReadableAsPaintedAndItsLongestTextFits) {
  Open();
  zt::sim::FaultConfig otherMeter;
  otherMeter.foreignAddress = true;
  port.SetFaults(otherMeter);
  console->OnCommand(zt::res::console_id::kStartPolling);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  auto* line = console->findChild<QLabel*>(QStringLiteral("health"));
  ASSERT_NE(line, nullptr);
  ASSERT_EQ(line->text(), console->HealthText());
  ASSERT_FALSE(line->text().isEmpty());
  ShowActive(*console);
  // Within the window: the line paints no background of its own.
  const QImage painted = console->grab(line->geometry()).toImage();
  const QColor ground = painted.pixelColor(0, 0);
  const QColor text = StrongestPixel(painted, ground);
  ASSERT_TRUE(text.isValid()) << "no text painted";
  EXPECT_GE(Contrast(text, ground), 4.5) << text.name().toStdString() << " on "
                                         << ground.name().toStdString();
  // One of the longest texts, within the two lines kept for it.
  EXPECT_LE(line->heightForWidth(line->width()), line->height()) << line->text().toStdString();
  console->hide();
}

TEST(DialogUsability, FocusMarkOnAButtonStandsOut) {
  zt::test::RecordingUi ui;
  zt::CMeterSetupDlg dialog(ui);
  ShowActive(dialog);
  auto* ok = dialog.findChild<QPushButton*>(QString::number(zt::res::kIdOk));
  auto* cancel = dialog.findChild<QPushButton*>(QString::number(zt::res::kIdCancel));
  ok->setFocus();
  ASSERT_TRUE(ok->hasFocus());
  const QImage focused = ok->grab().toImage();
  cancel->setFocus();
  const QImage plain = ok->grab().toImage();
  ASSERT_EQ(focused.size(), plain.size());
  // The mark: pixels that change with the focus and stand out from what was
  // there before by at least the contrast asked of graphics, 3:1, all round.
  int marked = 0;
  for (int y = 0; y < plain.height(); ++y) {
    for (int x = 0; x < plain.width(); ++x) {
      if (Contrast(focused.pixelColor(x, y), plain.pixelColor(x, y)) >= 3.0) ++marked;
    }
  }
  EXPECT_GE(marked, plain.width() + plain.height()) << "a focus mark too faint to see";
  dialog.hide();
}

TEST(DialogUsability, EnterInSetupMovesOnAndOnlyTheButtonWrites) {
  zt::test::RecordingUi ui;
  zt::CMeterSetupDlg dialog(ui);
  dialog.SetValues({1, 1, 0});
  int accepted = 0;
  QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
  const int result = zt::test::RunWith(dialog, ui, [&](zt::CMeterSetupDlg& d) {
    ShowActive(d);
    d.PtBox()->setFocus();
    d.PtBox()->selectAll();
    KeyClicks(d.PtBox(), "100");
    Press(Qt::Key_Return);
    EXPECT_TRUE(d.CtBox()->hasFocus()) << "Enter moved on to CT";
    d.CtBox()->selectAll();
    KeyClicks(d.CtBox(), "5");
    Press(Qt::Key_Enter);
    EXPECT_EQ(accepted, 0) << "Enter in a box wrote to the meter";
    EXPECT_TRUE(d.isVisible());
    auto* set = d.findChild<QPushButton*>(QString::number(zt::res::kIdOk));
    EXPECT_FALSE(set->isDefault());
    set->setFocus();
    Press(Qt::Key_Return);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(dialog.GetValues().pt, 100U);
  EXPECT_EQ(dialog.GetValues().ct, 5U);
}

TEST(DialogUsability, NumberBoxesRefuseLettersAsTheyAreTyped) {
  zt::test::RecordingUi ui;
  zt::CMeterSetupDlg setup(ui);
  setup.PtBox()->clear();
  KeyClicks(setup.PtBox(), "1a-2O0 ");
  EXPECT_EQ(setup.PtBox()->text(), "120 ") << "a ratio takes no sign either";

  zt::test::ConsoleFixture line;
  line.Open();
  auto* upper = static_cast<QLineEdit*>(line.console->Control(zt::res::console_id::kUpperLimit));
  upper->clear();
  KeyClicks(upper, "-3x5e");
  EXPECT_EQ(upper->text(), "-35") << "a threshold may be negative";

  // What the validator lets through but is no number yet still gets the
  // prompt on OK.
  setup.PtBox()->setText("");
  setup.accept();
  EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个介于 1 和 64000 之间的整数。"}));
}

}  // namespace
