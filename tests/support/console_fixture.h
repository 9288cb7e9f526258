#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "console/meter_console_dlg.h"
#include "console/modal_ui.h"
#include "support/virtual_meter_line.h"

namespace zt::test {

// Answers every message box at once, every dialog with `answerDialog` and
// every question with `confirm`.
class RecordingUi final : public ModalUi {
 public:
  void ShowMessage(QWidget*, const QString& text) override {
    messages.push_back(text);
    if (onMessage) onMessage(text);
  }
  int RunDialog(QDialog& dialog) override {
    return answerDialog ? answerDialog(dialog) : QDialog::Rejected;
  }
  // Records the question and answers it with `confirm`.
  bool Confirm(QWidget*, const QString& text) override {
    questions.push_back(text);
    return confirm;
  }

  std::vector<QString> messages;
  std::function<void(const QString&)> onMessage;
  std::function<int(QDialog&)> answerDialog;
  std::vector<QString> questions;
  bool confirm = true;
};

// Runs `dialog` through `ui`, letting `interact` play the technician while
// it is shown; the dialog's result.
template <typename Dialog, typename Interact>
int RunWith(Dialog& dialog, RecordingUi& ui, Interact interact) {
  ui.answerDialog = [&](QDialog&) {
    interact(dialog);
    return dialog.result();
  };
  return dialog.DoModal();
}

// The real console window on the simulated port and the virtual clock.
class ConsoleFixture : public VirtualMeterLine {
 public:
  // The console on `onPort` (the simulated port unless given another).
  CMeterConsoleDlg& Open(SerialPort* onPort = nullptr) {
    console = std::make_unique<CMeterConsoleDlg>(ui, onPort ? *onPort : port, clock, settings);
    console->OnInitDialog();
    return *console;
  }

  QString Box(int id) const { return static_cast<QLineEdit*>(console->Control(id))->text(); }
  // Replaces the box's text as typing would, so the window sees an edit.
  void Type(int id, const QString& text) const {
    auto* box = static_cast<QLineEdit*>(console->Control(id));
    box->selectAll();
    box->insert(text);
  }
  bool Enabled(int id) const { return console->Control(id)->isEnabled(); }

  std::chrono::milliseconds Now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now());
  }

  RecordingUi ui;
  LinkSettings settings;
  std::unique_ptr<CMeterConsoleDlg> console;
};

}  // namespace zt::test
