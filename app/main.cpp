#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

#include "app/app_style.h"
#include "app/meter_app.h"
#include "console/modal_ui.h"
#include "link/clock.h"
#include "link/qt_serial_port.h"
#include "sim/built_in_meter.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zt6100-console"));
  QApplication::setApplicationDisplayName(QStringLiteral("ZT6100"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zt6100/icon.png")));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("ZT6100 single-phase ammeter service console"));
  parser.addHelpOption();
  const QCommandLineOption port1(QStringLiteral("port1"), QStringLiteral("Device for port 1."),
                                 QStringLiteral("DEVICE"));
  const QCommandLineOption port2(QStringLiteral("port2"), QStringLiteral("Device for port 2."),
                                 QStringLiteral("DEVICE"));
  const QCommandLineOption simulate(
      QStringLiteral("simulate"),
      QStringLiteral("Start the built-in simulated meter on a pty and map port 1 to it."));
  parser.addOption(port1);
  parser.addOption(port2);
  parser.addOption(simulate);
  parser.process(app);

  zt::PortDeviceMap devices;
  if (parser.isSet(port1)) {
    devices.Override(1, parser.value(port1).toStdString());
  }
  if (parser.isSet(port2)) {
    devices.Override(2, parser.value(port2).toStdString());
  }

  zt::sim::BuiltInMeter simulatedMeter;
  if (parser.isSet(simulate)) {
    std::string error;
    const std::optional<std::string> device = simulatedMeter.Start(error);
    if (!device) {
      std::fprintf(stderr, "zt6100-console: cannot start the simulated meter: %s\n",
                   error.c_str());
      return 1;
    }
    devices.Override(1, *device);
  }

  zt::ApplyDialogColours(app);
  zt::QtModalUi ui;
  zt::QtSerialPort port(devices);
  zt::SystemClock clock;
  zt::CMeterApp(ui, port, clock).InitInstance();
  return 0;
}
