#include "console/modal_ui.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

void QtModalUi::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

int QtModalUi::RunDialog(QDialog& dialog) { return dialog.exec(); }

bool QtModalUi::Confirm(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Ok)->setText(Tr(res::text::kOk));
  box.button(QMessageBox::Cancel)->setText(Tr(res::text::kCancel));
  // Enter pressed by habit keeps the console running.
  box.setDefaultButton(QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace zt
