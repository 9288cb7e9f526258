#include "console/command_focus.h"

#include <QWidget>

namespace zt {

CommandFocus::CommandFocus(QWidget& window) : window_(window) {
  // Not by Tab: the window takes the focus only when it is given it.
  window_.setFocusPolicy(Qt::ClickFocus);
}

void CommandFocus::BeforeDisable(QWidget& control) {
  if (window_.focusWidget() != &control) {
    return;
  }
  parked_ = &control;
  window_.setFocus(Qt::OtherFocusReason);
}

void CommandFocus::AfterEnable(QWidget& control) {
  if (parked_ != &control) {
    return;
  }
  parked_ = nullptr;
  if (window_.focusWidget() == &window_ || window_.focusWidget() == nullptr) {
    control.setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace zt
