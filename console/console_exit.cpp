// How the console window ends: the keys of the window, its close box, and
// the question asked before it ends while it talks to the meter.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "console/meter_console_dlg.h"
#include "console/modal_ui.h"
#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

bool CMeterConsoleDlg::Communicating() const { return polling_ || m_bLogging || IsBusy(); }

bool CMeterConsoleDlg::ExitConfirmed() {
  if (!Communicating()) {
    return true;
  }
  // An Esc or a close box while the question is open is not a second one.
  if (asking_) {
    return false;
  }
  asking_ = true;
  const bool confirmed = ui_.Confirm(this, Tr(res::text::kExitWhileCommunicating));
  asking_ = false;
  return confirmed;
}

void CMeterConsoleDlg::keyPressEvent(QKeyEvent* event) {
  // No button is the default: Enter on a button presses that button, Enter
  // in an edit box moves on to the next control, and Enter while the window
  // itself holds the focus (a command's button is disabled) does nothing.
  // The console ends only on Esc, its close box or "退  出".
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    } else if (focusWidget() != nullptr && focusWidget() != this) {
      focusNextChild();
    }
    return;
  }
  if (event->matches(QKeySequence::Cancel)) {
    if (ExitConfirmed()) {
      reject();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void CMeterConsoleDlg::closeEvent(QCloseEvent* event) {
  if (!ExitConfirmed()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace zt
