// What a technician meets in the dialogs themselves: radios that can be told
// apart and worked from the keyboard, captions as the templates give them,
// Qt's standard buttons in Chinese, values that fit their boxes.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <cmath>

#include "console/comm_settings_dlg.h"
#include "console/meter_setup_dlg.h"
#include "support/console_fixture.h"
#include "res/console_template.h"

namespace {

void Press(Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(QApplication::focusWidget(), &press);
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
    const QColor checked = IndicatorCentre(*dialog.Radio(1014));
    const QColor unchecked = IndicatorCentre(*dialog.Radio(1013));
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
  EXPECT_EQ(stops, (std::vector<QWidget*>{dialog.Radio(1014), dialog.Radio(1009),
                                          dialog.Radio(1016)}))
      << "one stop per set, at its checked radio";

  dialog.Radio(1014)->setFocus();
  Press(Qt::Key_Down);
  EXPECT_TRUE(dialog.Radio(1015)->isChecked());
  Press(Qt::Key_Up);
  Press(Qt::Key_Up);
  EXPECT_TRUE(dialog.Radio(1013)->isChecked());
  EXPECT_FALSE(dialog.Radio(1014)->isChecked());
  EXPECT_TRUE(dialog.Radio(1009)->isChecked()) << "the other sets keep their checks";
  EXPECT_TRUE(dialog.Radio(1016)->isChecked());
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

}  // namespace
