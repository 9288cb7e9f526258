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
#include <memory>

#include "console/trend_dlg.h"
#include "console_probe.h"

namespace {

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
  if (!zt::bench::PrepareProbe(argc, argv, "--trend")) {
    return 2;
  }
  QApplication app(argc, argv);
  const zt::bench::ProbeArguments arguments =
      zt::bench::ReadProbeArguments(argc, argv, "--trend");
  const int seconds = arguments.seconds;
  const bool trend = arguments.option;

  zt::SystemClock clock;
  zt::bench::PrintingUi ui;
  const zt::LinkSettings settings;
  auto console = zt::bench::ThreadedConsole(ui, clock, settings, arguments.device);
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
