#pragma once

#include <functional>
#include <string>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/reconnecting_port.h"
#include "link/serial_port.h"
#include "link/transaction.h"
#include "meter/meter_session.h"

namespace zt {

// One line to the meter, assembled the one way every front end uses it: the
// device wrapped so that it comes back when it goes away, the transaction on
// it, and the session that addresses its requests with the line's settings.
// A device that comes back may be another adapter at the same path, so the
// transaction forgets what it knew of the line (whether it echoes) first.
class MeterLine {
 public:
  // Hears each loss and each return of the device once, after the line has
  // forgotten what it knew.
  using DeviceChange = std::function<void(ReconnectingPort::Change)>;

  // `device` and `clock` must outlive the line.
  MeterLine(SerialPort& device, Clock& clock, const LinkSettings& settings,
            DeviceChange changed = {});

  MeterLine(const MeterLine&) = delete;
  MeterLine& operator=(const MeterLine&) = delete;

  // Opens the port at the line's settings, on `device` when one is named,
  // and forgets what was known of the line before. The port must be closed.
  OpenResult Open(const std::string& device = {});
  // Closes the port and opens it again at `settings`, which the line keeps.
  OpenResult Reopen(const LinkSettings& settings);

  ReconnectingPort& Port() { return port_; }
  zt::Transaction& Transaction() { return transaction_; }
  const zt::Transaction& Transaction() const { return transaction_; }
  MeterSession& Session() { return session_; }
  // The settings the session addresses its requests with: a job that moves
  // the meter to another address or rate moves the line through them.
  LinkSettings& Settings() { return settings_; }

 private:
  LinkSettings settings_;
  DeviceChange changed_;
  ReconnectingPort port_;
  zt::Transaction transaction_;
  MeterSession session_;
};

}  // namespace zt
