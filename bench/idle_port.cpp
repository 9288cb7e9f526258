// The console's port as it sits while nothing is being asked of the meter:
// open on DEVICE, an event loop running, and the idle timer that lets a lost
// device come back once a second. Prints "open", then "lost" and "back" as
// they happen, for bench/device_loss_cpu.sh to measure its CPU time.
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/open_line.h"
#include "link/qt_serial_port.h"
#include "link/reconnecting_port.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zt_idle_port DEVICE\n");
    return 2;
  }
  zt::QtSerialPort device;
  zt::SystemClock clock;
  zt::ReconnectingPort port(device, clock, [](zt::ReconnectingPort::Change change) {
    std::puts(change == zt::ReconnectingPort::Change::kLost ? "lost" : "back");
    std::fflush(stdout);
  });
  if (!zt::OpenLine(port, zt::LinkSettings{}, argv[1])) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 3;
  }
  std::puts("open");
  std::fflush(stdout);
  QTimer revive;
  QObject::connect(&revive, &QTimer::timeout, [&port] { port.Revive(); });
  revive.start(static_cast<int>(zt::ReconnectingPort::kRetryPeriodMs));
  return QCoreApplication::exec();
}
