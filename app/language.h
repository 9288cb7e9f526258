#pragma once

class QApplication;
class QTranslator;

namespace zt {

// Installs Qt's own Chinese texts for its standard buttons and prompts ("确定"
// on a message box), from the translations installed with Qt, and returns the
// translator, owned by `app`. Null when they are not installed: Qt's English
// texts then stay.
QTranslator* LoadQtChineseTranslation(QApplication& app);

}  // namespace zt
