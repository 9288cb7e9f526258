#pragma once

class QApplication;

namespace zt {

// The colours of every dialog and message box: a mid blue background, white
// text on labels, group boxes and radio buttons; buttons and edit boxes keep
// the platform's look.
void ApplyDialogColours(QApplication& app);

}  // namespace zt
