#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLocale>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/app_style.h"
#include "app/keyboard_style.h"
#include "app/language.h"
#include "app/meter_app.h"
#include "console/modal_ui.h"
#include "console/settings_memory.h"
#include "link/clock.h"
#include "link/device_port.h"
#include "link/port_devices.h"
#include "link/qt_port_list.h"
#include "sim/in_process_meter.h"
#include "zt6100/version.h"

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("zt6100-console"));
  QCoreApplication::setApplicationVersion(
      QString::fromLatin1(zt::kVersion.data(), static_cast<qsizetype>(zt::kVersion.size())));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("ZT6100 single-phase ammeter service console"));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption port1(
      QStringLiteral("port1"),
      QStringLiteral("Device for port 1: a path, or a serial device server as tcp://HOST:PORT "
                     "(raw TCP) or rfc2217://HOST:PORT."),
      QStringLiteral("DEVICE"));
  const QCommandLineOption port2(QStringLiteral("port2"),
                                 QStringLiteral("Device for port 2, as for port 1."),
                                 QStringLiteral("DEVICE"));
  const QCommandLineOption simulate(
      QStringLiteral("simulate"),
      QStringLiteral("Talk to the built-in simulated meter on port 1."));
  const QCommandLineOption lang(
      QStringLiteral("lang"),
      QStringLiteral("Language of the window: zh (Chinese) or en (English); by default the "
                     "system's if the console has it, otherwise Chinese."),
      QStringLiteral("LANGUAGE"));
  parser.addOption(port1);
  parser.addOption(port2);
  parser.addOption(simulate);
  parser.addOption(lang);

  // The help and the version are answered before the application object
  // exists, so that they need no display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  if (parser.parse(arguments)) {
    if (parser.isSet(help)) {
      // Without an application object the parser knows no program name.
      std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                      QCoreApplication::applicationName())),
                 stdout);
      return 0;
    }
    if (parser.isSet(version)) {
      parser.showVersion();
    }
  }
  std::optional<zt::report::Language> language;
  if (parser.isSet(lang)) {
    language = zt::LanguageNamed(parser.value(lang));
    if (!language) {
      std::fprintf(stderr, "zt6100-console: --lang: choose zh (Chinese) or en (English), not '%s'\n",
                   qPrintable(parser.value(lang)));
      return 2;
    }
  }

  // No display name: Qt would add it to every window title. Message boxes
  // are titled with the program's name.
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zt6100/icon.png")));
  parser.process(app);

  zt::PortDevices devices;
  if (parser.isSet(port1)) {
    devices.For(1) = parser.value(port1).toStdString();
  }
  if (parser.isSet(port2)) {
    devices.For(2) = parser.value(port2).toStdString();
  }

  zt::ApplyKeyboardStyle(app);
  zt::ApplyDialogColours(app);
  zt::InstallTranslations(app, language.value_or(zt::LanguageForLocale(QLocale::system())));
  zt::QtModalUi ui;
  zt::SystemClock clock;
  // The exchanges run on a link thread, on a port of that thread.
  if (parser.isSet(simulate)) {
    // The meter answers at the settings dialog's defaults.
    // Nothing is remembered: each run starts where the simulated meter is.
    zt::sim::InProcessMeter simulatedMeter;
    zt::CMeterApp(ui, [&](const zt::LinkSettings& settings) {
      return std::make_unique<zt::LinkWorker>(simulatedMeter.Port(), clock, settings,
                                              zt::LinkWorker::kOwnThread);
    }).InitInstance();
    return 0;
  }
  zt::QtPortLister ports;
  zt::SettingsMemory memory;
  zt::CMeterApp meterApp(ui, [&](const zt::LinkSettings& settings) {
    return std::make_unique<zt::LinkWorker>(
        [devices] { return std::make_unique<zt::DevicePort>(devices); }, clock, settings);
  });
  meterApp.SetPortLister(&ports);
  meterApp.SetSettingsMemory(&memory);
  meterApp.SetCommandLineDevices(devices.device);
  meterApp.InitInstance();
  return 0;
}
