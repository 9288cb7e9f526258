#include "console/live_value_look.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

namespace zt {

void ShowLiveValueLook(QLineEdit& box, bool stale, const QString& why) {
  QPalette palette = box.palette();
  palette.setColor(QPalette::Text,
                   stale ? QColor(Qt::gray) : QApplication::palette().color(QPalette::Text));
  box.setPalette(palette);
  box.setToolTip(stale ? why : QString());
}

}  // namespace zt
