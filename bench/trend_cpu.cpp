// The console's CPU time while it polls a meter, with the trend window open
// or without it: the whole process (window thread and link thread), from the
// first poll on, as a share of one core. Not part of the suite: the figures
// depend on the machine; bench/trend_cpu.sh runs it against zt6100-sim.
//
// usage: zt_trend_cpu DEVICE SECONDS [--trend]

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "console/link_worker.h"
#include "console/meter_console_dlg.h"
#include "console/modal_ui.h"
#include "console/trend_dlg.h"
#include "link/clock.h"
#include "link/qt_serial_port.h"

namespace {

class CountingUi final : public zt::ModalUi {
 public:
  void ShowMessage(QWidget*, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  int RunDialog(QDialog&) override { return QDialog::Rejected; }
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEVICE SECONDS [--trend]\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const std::string device = argv[1];
  const int seconds = std::atoi(argv[2]);
  const bool trend = argc > 3 && std::string(argv[3]) == "--trend";

  zt::PortDeviceMap devices;
  devices.Override(1, device);
  zt::SystemClock clock;
  CountingUi ui;
  const zt::LinkSettings settings;
  auto console = std::make_unique<zt::CMeterConsoleDlg>(
      ui,
      std::make_unique<zt::LinkWorker>(
          [devices] { return std::make_unique<zt::QtSerialPort>(devices); }, clock, settings),
      settings);
  console->OnInitDialog();
  console->show();
  if (trend) {
    console->OnTrend();
  }
  console->OnStartPolling();

  const double cpuBefore = CpuSeconds();
  QElapsedTimer elapsed;
  elapsed.start();
  QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
  app.exec();
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;

  const zt::LinkStatistics& stats = console->Statistics();
  std::printf("%-13s %5.1f s  cpu %6.3f s = %5.2f %% of a core  polls ok %d failed %d\n",
              trend ? "trend open" : "trend closed", wall, cpu, 100.0 * cpu / wall,
              stats.successCount, stats.failureCount);
  console.reset();
  return 0;
}
