#pragma once

// What the console probes (zt_trend_cpu, zt_ui_latency) share: their
// arguments, DEVICE SECONDS [OPTION], a user interface with nobody at the
// screen, and the console on the device with its exchanges on a link thread.

#include <QDialog>
#include <QString>

#include <memory>
#include <string>

#include "console/meter_console_dlg.h"
#include "console/modal_ui.h"
#include "link/clock.h"
#include "link/link_settings.h"

namespace zt::bench {

// Message boxes are printed, not shown, and dialogs rejected: nobody is at
// the screen. The question the console asks before it ends while it polls
// is answered 确定: the probe's end is meant, and Qt's quit closes the
// windows first, so a 取消 would keep the probe running for ever.
class PrintingUi final : public ModalUi {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  int RunDialog(QDialog& dialog) override;
  bool Confirm(QWidget* parent, const QString& text) override;
};

// Prints the usage and returns false unless DEVICE and SECONDS are given;
// otherwise makes the offscreen platform the default for the QApplication
// to come.
bool PrepareProbe(int argc, char** argv, const char* option);

struct ProbeArguments {
  std::string device;
  int seconds = 0;
  bool option = false;  // the probe's one option was given
};
// Read once the QApplication has taken out the arguments that are its own.
ProbeArguments ReadProbeArguments(int argc, char** argv, const char* option);

// The console on `device` as port 1, its exchanges on a link thread.
std::unique_ptr<CMeterConsoleDlg> ThreadedConsole(ModalUi& ui, Clock& clock,
                                                  const LinkSettings& settings,
                                                  const std::string& device);

}  // namespace zt::bench
