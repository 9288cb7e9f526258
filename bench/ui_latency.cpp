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
#include <memory>
#include <vector>

#include "console_probe.h"
#include "link/port_devices.h"
#include "link/qt_serial_port.h"

namespace {

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

}  // namespace

int main(int argc, char** argv) {
  if (!zt::bench::PrepareProbe(argc, argv, "--synchronous")) {
    return 2;
  }
  QApplication app(argc, argv);
  const zt::bench::ProbeArguments arguments =
      zt::bench::ReadProbeArguments(argc, argv, "--synchronous");
  const int seconds = arguments.seconds;
  const bool synchronous = arguments.option;

  zt::PortDevices devices;
  devices.For(1) = arguments.device;
  zt::SystemClock clock;
  zt::bench::PrintingUi ui;
  const zt::LinkSettings settings;
  zt::QtSerialPort windowThreadPort(devices);
  std::unique_ptr<zt::CMeterConsoleDlg> console;
  if (synchronous) {
    console = std::make_unique<zt::CMeterConsoleDlg>(ui, windowThreadPort, clock, settings);
  } else {
    console = zt::bench::ThreadedConsole(ui, clock, settings, arguments.device);
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
