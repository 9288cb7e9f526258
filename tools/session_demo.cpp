// A short scripted session against one meter: every value read is printed.
// Usage: zt6100-demo DEVICE [ADDRESS]

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "link/clock.h"
#include "link/qt_serial_port.h"
#include "link/transaction.h"
#include "meter/link_statistics.h"
#include "meter/live_value.h"
#include "meter/meter_session.h"

namespace {

void Print(const char* label, const std::optional<int32_t>& value) {
  if (value) {
    std::printf("%-16s %d\n", label, *value);
  } else {
    std::printf("%-16s no reply\n", label);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DEVICE [ADDRESS]\n", argv[0]);
    return 2;
  }
  zt::LinkSettings settings;
  if (argc > 2) {
    settings.address = static_cast<uint8_t>(std::atoi(argv[2]));
  }
  zt::PortDeviceMap devices;
  devices.Override(settings.port, argv[1]);
  zt::QtSerialPort port(devices);
  port.SelectPort(settings.port);
  port.SetLineFormat(zt::SettingsText(settings));
  if (const zt::OpenResult opened = port.Open(); !opened) {
    std::fprintf(stderr, "cannot open %s: %s\n", opened.device.c_str(), opened.reason.c_str());
    return 3;
  }
  port.ReadEverything();
  port.ClearReceiveBuffer();

  zt::SystemClock clock;
  zt::Transaction link(port, clock);
  zt::MeterSession session(link, settings);
  std::printf("meter %d on %s at %s\n", settings.address, argv[1],
              zt::SettingsText(settings).c_str());

  const zt::ParameterReads params = session.ReadParameters();
  Print("upper limit", params.upperLimit);
  Print("lower limit", params.lowerLimit);
  Print("decimal point", params.decimalPoint);
  Print("baud", params.meterBaud);

  zt::LinkStatistics stats;
  int32_t decimalPoint = params.decimalPoint.value_or(0);
  for (int tick = 1; tick <= 3; ++tick) {
    const zt::PollResult poll = session.Poll();
    decimalPoint = poll.decimalPoint.value_or(decimalPoint);
    stats.Record(poll.rawValue.has_value());
    std::printf("poll %d           %s  (successes %d, failures %d, error rate %s)\n", tick,
                poll.rawValue ? zt::FormatLiveValue(*poll.rawValue, decimalPoint).c_str()
                              : "no reply",
                stats.successCount, stats.failureCount, stats.errorRate.c_str());
  }

  if (const auto status = session.ReadSwitchStatus()) {
    std::printf("relay output     %s\nswitch input     %s\n", status->RelayOn() ? "on" : "off",
                status->InputClosed() ? "closed" : "open");
  } else {
    std::printf("switch status    no reply\n");
  }
  if (const auto meterClock = session.ReadClock()) {
    std::printf("%s\n", zt::FormatMeterClock(*meterClock).c_str());
  } else {
    std::printf("clock            no reply\n");
  }
  port.Close();
  return 0;
}
