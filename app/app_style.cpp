#include "app/app_style.h"

#include <QApplication>

namespace zt {

void ApplyDialogColours(QApplication& app) {
  app.setStyleSheet(QStringLiteral(
      "QDialog, QMessageBox { background-color: rgb(15, 115, 215); }"
      "QDialog QLabel, QMessageBox QLabel, QGroupBox, QRadioButton { color: white; }"
      // Boxes without a border show their text on the dialog's own colour.
      "QPlainTextEdit[readOnly=\"true\"], QLineEdit[frame=\"false\"] {"
      "  background: transparent; color: white; border: none; }"
      "QLineEdit[frame=\"false\"]:disabled { color: rgb(225, 225, 225); }"));
}

}  // namespace zt
