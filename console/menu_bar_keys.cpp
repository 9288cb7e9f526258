#include "console/menu_bar_keys.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>

namespace zt {

void OpenMenuOnF10(QMenuBar& menuBar) {
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &menuBar);
  f10->setContext(Qt::WindowShortcut);
  QObject::connect(f10, &QShortcut::activated, &menuBar, [&menuBar] {
    for (QAction* menu : menuBar.actions()) {
      if (menu->isVisible() && menu->isEnabled() && !menu->isSeparator()) {
        menuBar.setActiveAction(menu);
        return;
      }
    }
  });
}

}  // namespace zt
