#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <string>

#include "link/link_settings.h"
#include "link/port_devices.h"
#include "link/port_list.h"
#include "link/transaction.h"
#include "meter/periods.h"

namespace zt {

// What the console offers at its next start.
struct RememberedSettings {
  LinkSettings link;
  // The device each port number stood for; empty for the platform's own.
  std::array<std::string, 2> devices;
  LogInterval logInterval;
  // How long the line guard may wait for a late reply to end.
  std::chrono::milliseconds guardLimit = Transaction::kDefaultGuardLimit;
};

// The technician's last settings, kept per user with QSettings. A value that
// is missing or out of range reads as the default.
class SettingsMemory {
 public:
  // The program's own place for the user (on Linux
  // ~/.config/zt6100/zt6100-console.conf, on Windows the registry); an INI
  // file given here instead, for the tests.
  explicit SettingsMemory(QString iniFile = {}) : iniFile_(std::move(iniFile)) {}

  RememberedSettings Load() const;
  void SaveLink(const LinkSettings& link, const PortDevices& devices);
  void SaveLogInterval(const LogInterval& interval);
  void SaveGuardLimit(std::chrono::milliseconds limit);

 private:
  QString iniFile_;
};

// The devices the console starts with: the command line's for the ports it
// names, else the remembered ones. A remembered device the system no longer
// has (neither listed by `ports` nor an existing file, such as a pty) falls
// back to the platform's own; `note` then gets the link information's line
// for it.
PortDevices StartingDevices(const std::array<std::string, 2>& remembered,
                            const std::array<std::string, 2>& commandLine, PortLister* ports,
                            QString* note);

}  // namespace zt
