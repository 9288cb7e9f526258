#include "console/dialog_builder.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "res/about_template.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"
#include "res/meter_setup_template.h"
#include "res/save_interval_template.h"

namespace {

class EveryTemplate : public testing::TestWithParam<const zt::res::DialogTemplate*> {};

// Dialog units as Windows defines them, worked out here from the font alone:
// a horizontal unit is a quarter of the average width of the 52 letters
// (rounded to whole pixels), a vertical unit an eighth of the font's height,
// each conversion rounded to the nearest pixel.
struct BaseUnits {
  explicit BaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    x = (letters / 26 + 1) / 2;
    y = metrics.height();
  }
  int X(int units) const { return (units * x + 2) / 4; }
  int Y(int units) const { return (units * y + 4) / 8; }

  int x;
  int y;
};

TEST_P(EveryTemplate, BuildsAtItsSizeInDialogUnits) {
  const zt::res::DialogTemplate& dialogTemplate = *GetParam();
  QDialog dialog;
  const zt::ControlMap controls = zt::BuildDialog(dialog, dialogTemplate);
  const BaseUnits base(dialog.font());
  EXPECT_EQ(dialog.size(), QSize(base.X(dialogTemplate.width), base.Y(dialogTemplate.height)));
  for (const zt::res::ControlTemplate& control : dialogTemplate.controls) {
    if (control.id == zt::res::kNoId) continue;
    ASSERT_TRUE(controls.contains(control.id));
    EXPECT_EQ(controls.at(control.id)->geometry(),
              QRect(base.X(control.x), base.Y(control.y), base.X(control.width),
                    base.Y(control.height)))
        << control.id;
  }
}

TEST_P(EveryTemplate, EveryCaptionFitsItsControl) {
  QDialog dialog;
  zt::BuildDialog(dialog, *GetParam());
  for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
    QString text;
    int needed = 0;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      text = label->text();
      needed = label->fontMetrics().horizontalAdvance(text);
    } else if (const auto* radio = qobject_cast<const QRadioButton*>(widget)) {
      text = radio->text();
      needed = radio->sizeHint().width();
    } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
      text = button->text();
      needed = button->fontMetrics().horizontalAdvance(text);
    } else {
      continue;
    }
    EXPECT_LE(needed, widget->width()) << '"' << text.toStdString() << "\" is cut off";
  }
}

INSTANTIATE_TEST_SUITE_P(Resources, EveryTemplate,
                         testing::Values(&zt::res::kConsoleTemplate,
                                         &zt::res::kCommSettingsTemplate,
                                         &zt::res::kMeterSetupTemplate,
                                         &zt::res::kSaveIntervalTemplate,
                                         &zt::res::kAboutTemplate),
                         [](const testing::TestParamInfo<const zt::res::DialogTemplate*>& row) {
                           return "Template" + std::to_string(row.param->id);
                         });

}  // namespace
