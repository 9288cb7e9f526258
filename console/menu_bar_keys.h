#pragma once

class QMenuBar;

namespace zt {

// F10 opens the first menu of `menuBar` while its window is active, as it
// does in the windows of the platforms the technicians know; the arrow keys
// and the items' mnemonics go on from there.
void OpenMenuOnF10(QMenuBar& menuBar);

}  // namespace zt
