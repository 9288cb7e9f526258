#pragma once

class QApplication;

namespace zt {

// What a technician working from the keyboard needs to see and reach: a
// focus mark on push buttons that stands out on any background, and Alt
// pressed and released alone opening the menu bar. Installed before the
// dialog colours, which are drawn over it.
void ApplyKeyboardStyle(QApplication& app);

}  // namespace zt
