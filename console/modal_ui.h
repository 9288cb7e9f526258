#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace zt {

// Every message box and sub-dialog of the windows goes through here, so that
// tests can answer them without a person at the screen.
class ModalUi {
 public:
  virtual ~ModalUi() = default;

  // A message box with one OK button; returns once it has been closed.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // Runs the dialog modally and returns its result (QDialog::Accepted or Rejected).
  virtual int RunDialog(QDialog& dialog) = 0;
  // A question with 确定 and 取消; true for 确定. Closing the box is 取消,
  // and so is a front end that cannot ask.
  virtual bool Confirm(QWidget* /*parent*/, const QString& /*text*/) { return false; }
};

class QtModalUi final : public ModalUi {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  int RunDialog(QDialog& dialog) override;
  bool Confirm(QWidget* parent, const QString& text) override;
};

}  // namespace zt
