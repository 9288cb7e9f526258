#include "console_probe.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include "console/link_worker.h"
#include "link/port_devices.h"
#include "link/qt_serial_port.h"

namespace zt::bench {

void PrintingUi::ShowMessage(QWidget*, const QString& text) {
  std::fprintf(stderr, "message: %s\n", qPrintable(text));
}

int PrintingUi::RunDialog(QDialog&) { return QDialog::Rejected; }

bool PrintingUi::Confirm(QWidget*, const QString&) { return true; }

bool PrepareProbe(int argc, char** argv, const char* option) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEVICE SECONDS [%s]\n", argv[0], option);
    return false;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  return true;
}

ProbeArguments ReadProbeArguments(int argc, char** argv, const char* option) {
  ProbeArguments arguments;
  arguments.device = argv[1];
  arguments.seconds = std::atoi(argv[2]);
  arguments.option = argc > 3 && std::string(argv[3]) == option;
  return arguments;
}

std::unique_ptr<CMeterConsoleDlg> ThreadedConsole(ModalUi& ui, Clock& clock,
                                                  const LinkSettings& settings,
                                                  const std::string& device) {
  PortDevices devices;
  devices.For(1) = device;
  return std::make_unique<CMeterConsoleDlg>(
      ui,
      std::make_unique<LinkWorker>(
          [devices] { return std::make_unique<QtSerialPort>(devices); }, clock, settings),
      settings);
}

}  // namespace zt::bench
