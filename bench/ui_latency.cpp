// How late the console's window thread is while the console polls a meter:
// a 10 ms timer on that thread measures how much later than due each of its
// ticks comes, for a given time, and the figures are printed. Not part of
// the suite: the figures depend on the machine.
//
// usage: zt_ui_latency DEVICE SECONDS [--synchronous]
//   --synchronous  every exchange on the window's thread, as the console ran
//                  before it had a link thread

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "console/link_worker.h"
#include "console/meter_console_dlg.h"
#include "console/modal_ui.h"
#include "link/clock.h"
#include "link/qt_serial_port.h"

namespace {

// Message boxes are counted, not shown: nobody is at the screen.
class CountingUi final : public zt::ModalUi {
 public:
  void ShowMessage(QWidget*, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  int RunDialog(QDialog&) override { return QDialog::Rejected; }
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEVICE SECONDS [--synchronous]\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const std::string device = argv[1];
  const int seconds = std::atoi(argv[2]);
  const bool synchronous = argc > 3 && std::string(argv[3]) == "--synchronous";

  zt::PortDeviceMap devices;
  devices.Override(1, device);
  zt::SystemClock clock;
  CountingUi ui;
  const zt::LinkSettings settings;
  zt::QtSerialPort windowThreadPort(devices);
  std::unique_ptr<zt::CMeterConsoleDlg> console;
  if (synchronous) {
    console = std::make_unique<zt::CMeterConsoleDlg>(ui, windowThreadPort, clock, settings);
  } else {
    console = std::make_unique<zt::CMeterConsoleDlg>(
        ui,
        std::make_unique<zt::LinkWorker>(
            [devices] { return std::make_unique<zt::QtSerialPort>(devices); }, clock, settings),
        settings);
  }
  console->OnInitDialog();
  console->show();
  console->OnStartPolling();

  constexpr int kProbeMs = 10;
  std::vector<double> lateness;
  QElapsedTimer elapsed;
  elapsed.start();
  qint64 due = kProbeMs * 1'000'000LL;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = elapsed.nsecsElapsed();
    lateness.push_back(static_cast<double>(std::max<qint64>(0, now - due)) / 1e6);
    due = now + kProbeMs * 1'000'000LL;
  });
  probe.start(kProbeMs);
  QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
  app.exec();
  probe.stop();

  const zt::LinkStatistics& stats = console->Statistics();
  std::printf("%-12s ticks %6zu  p50 %7.2f ms  p99 %8.2f ms  max %8.2f ms  polls ok %d failed %d\n",
              synchronous ? "synchronous" : "link thread", lateness.size(),
              Percentile(lateness, 0.50), Percentile(lateness, 0.99),
              *std::max_element(lateness.begin(), lateness.end()), stats.successCount,
              stats.failureCount);
  console.reset();
  return 0;
}
