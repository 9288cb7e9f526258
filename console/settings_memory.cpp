#include "console/settings_memory.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <memory>

#include "console/window_text.h"
#include "link/network_device.h"
#include "link/port_devices.h"
#include "meter/register_map.h"
#include "res/texts.h"

namespace zt {

namespace {

std::unique_ptr<QSettings> Open(const QString& iniFile) {
  if (!iniFile.isEmpty()) {
    return std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
  }
  return std::make_unique<QSettings>(QStringLiteral("zt6100"), QStringLiteral("zt6100-console"));
}

int ReadInt(const QSettings& settings, const QString& key, int min, int max, int fallback) {
  bool ok = false;
  const int value = settings.value(key).toInt(&ok);
  return ok && value >= min && value <= max ? value : fallback;
}

const QString kDeviceKeys[] = {QStringLiteral("link/device1"), QStringLiteral("link/device2")};

}  // namespace

RememberedSettings SettingsMemory::Load() const {
  const std::unique_ptr<QSettings> settings = Open(iniFile_);
  RememberedSettings remembered;
  LinkSettings& link = remembered.link;
  link.address = static_cast<uint8_t>(
      ReadInt(*settings, QStringLiteral("link/address"), 0, 255, link.address));
  link.port = static_cast<int16_t>(ReadInt(*settings, QStringLiteral("link/port"), 1, 2, link.port));
  const int baud = ReadInt(*settings, QStringLiteral("link/baud"), 0, 19200, 0);
  if (BaudIndexOf(baud)) {
    link.baudRate = baud;
  }
  link.parity = ReadInt(*settings, QStringLiteral("link/parity"), kParityNone, kParityEven,
                        link.parity);
  for (std::size_t i = 0; i < remembered.devices.size(); ++i) {
    remembered.devices[i] = settings->value(kDeviceKeys[i]).toString().toStdString();
  }
  LogInterval interval;
  interval.hours = ReadInt(*settings, QStringLiteral("log/hours"), 0, 596'523, interval.hours);
  interval.minutes = ReadInt(*settings, QStringLiteral("log/minutes"), 0, 35'791'394,
                             interval.minutes);
  interval.seconds = ReadInt(*settings, QStringLiteral("log/seconds"), 0, 2'147'483,
                             interval.seconds);
  if (IsValidLogPeriod(LogPeriodMs(interval))) {
    remembered.logInterval = interval;
  }
  remembered.guardLimit = std::chrono::milliseconds(
      ReadInt(*settings, QStringLiteral("link/guard_ms"), 0,
              static_cast<int>(Transaction::kMaxGuardLimit.count()),
              static_cast<int>(remembered.guardLimit.count())));
  return remembered;
}

void SettingsMemory::SaveLink(const LinkSettings& link, const PortDevices& devices) {
  const std::unique_ptr<QSettings> settings = Open(iniFile_);
  settings->setValue(QStringLiteral("link/address"), int{link.address});
  settings->setValue(QStringLiteral("link/port"), int{link.port});
  settings->setValue(QStringLiteral("link/baud"), link.baudRate);
  settings->setValue(QStringLiteral("link/parity"), link.parity);
  for (int16_t port = 1; port <= 2; ++port) {
    // A device named on the command line is that run's, not a choice.
    if (!devices.Fixed(port)) {
      settings->setValue(kDeviceKeys[port - 1], QString::fromStdString(devices.For(port)));
    }
  }
  settings->sync();
}

void SettingsMemory::SaveLogInterval(const LogInterval& interval) {
  const std::unique_ptr<QSettings> settings = Open(iniFile_);
  settings->setValue(QStringLiteral("log/hours"), interval.hours);
  settings->setValue(QStringLiteral("log/minutes"), interval.minutes);
  settings->setValue(QStringLiteral("log/seconds"), interval.seconds);
  settings->sync();
}

void SettingsMemory::SaveGuardLimit(std::chrono::milliseconds limit) {
  const std::unique_ptr<QSettings> settings = Open(iniFile_);
  settings->setValue(QStringLiteral("link/guard_ms"), static_cast<int>(limit.count()));
  settings->sync();
}

PortDevices StartingDevices(const std::array<std::string, 2>& remembered,
                            const std::array<std::string, 2>& commandLine, PortLister* ports,
                            QString* note) {
  const std::vector<SerialPortEntry> present =
      ports != nullptr ? ports->List() : std::vector<SerialPortEntry>{};
  // A serial device server cannot be looked for without connecting to it:
  // it is kept, and an open that fails says why.
  const auto exists = [&present](const std::string& device) {
    return NamesNetworkDevice(device) ||
           std::any_of(present.begin(), present.end(),
                       [&device](const SerialPortEntry& entry) { return entry.device == device; }) ||
           QFileInfo::exists(QString::fromStdString(device));
  };
  PortDevices devices;
  for (int16_t port = 1; port <= 2; ++port) {
    const std::size_t i = static_cast<std::size_t>(port - 1);
    if (!commandLine[i].empty()) {
      devices.device[i] = commandLine[i];
      devices.fixed[i] = true;
    } else if (remembered[i].empty() || exists(remembered[i])) {
      devices.device[i] = remembered[i];
    } else if (note != nullptr) {
      *note += Tr(res::text::kRememberedDeviceGone)
                   .arg(QString::fromStdString(remembered[i]),
                        QString::fromStdString(PortDevices::PlatformDefault(port)));
    }
  }
  return devices;
}

}  // namespace zt
