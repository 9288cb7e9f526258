#include "console/modal_ui.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace zt {

void QtModalUi::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

int QtModalUi::RunDialog(QDialog& dialog) { return dialog.exec(); }

}  // namespace zt
