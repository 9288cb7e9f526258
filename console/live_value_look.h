#pragma once

class QLineEdit;
class QString;

namespace zt {

// The live value box as current, or greyed with `why` as its tooltip: a tick
// without a good value keeps an earlier value on show only marked so.
void ShowLiveValueLook(QLineEdit& box, bool stale, const QString& why);

}  // namespace zt
