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
      "QLineEdit[frame=\"false\"]:disabled { color: rgb(225, 225, 225); }"
      // The platform draws the check of a radio in the text colour, white on
      // a white circle: a black dot instead, and a dotted frame for the focus.
      "QRadioButton { border: 1px solid transparent; }"
      "QRadioButton:focus { border: 1px dotted white; }"
      "QRadioButton::indicator { width: 12px; height: 12px; border: 1px solid rgb(40, 40, 40);"
      "  border-radius: 7px; background: white; }"
      "QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5, cy: 0.5,"
      "  radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 black, stop: 0.5 black, stop: 0.6 white,"
      "  stop: 1 white); }"
      "QRadioButton::indicator:disabled { background: rgb(200, 200, 200); }"));
}

}  // namespace zt
