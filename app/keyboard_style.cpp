#include "app/keyboard_style.h"

#include <QApplication>
#include <QPainter>
#include <QPen>
#include <QProxyStyle>
#include <QStyleOption>

namespace zt {

namespace {

class KeyboardStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_MenuBar_AltKeyNavigation) {
      return 1;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    // The platform's own mark is a faint tint of the frame; this one is two
    // pixels of near black inside the frame, dashed so it reads as a mark and
    // not as a pressed button.
    if (element == CE_PushButton && (option->state & State_HasFocus)) {
      painter->save();
      QPen pen(QColor(20, 20, 20), 2, Qt::DashLine);
      painter->setPen(pen);
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
      painter->restore();
    }
  }
};

}  // namespace

void ApplyKeyboardStyle(QApplication& app) { app.setStyle(new KeyboardStyle); }

}  // namespace zt
