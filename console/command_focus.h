#pragma once

#include <QPointer>

class QWidget;

namespace zt {

// Where the keyboard focus goes while a command's button is disabled. Qt
// hands the focus of a widget it disables to the next one in the tab chain,
// which may be "退  出": a technician's Enter right after a click would then
// end the console. Instead the window itself holds the focus, where Enter
// does nothing, and the button takes it back once it is enabled again,
// unless the technician has put the focus elsewhere meanwhile.
class CommandFocus {
 public:
  // `window` is given the focus policy that lets it hold the focus.
  explicit CommandFocus(QWidget& window);

  // Before `control` is disabled.
  void BeforeDisable(QWidget& control);
  // After `control` has been enabled.
  void AfterEnable(QWidget& control);

 private:
  QWidget& window_;
  // The button that had the focus when it was disabled.
  QPointer<QWidget> parked_;
};

}  // namespace zt
