#include "link/reconnecting_port.h"

#include <utility>

namespace zt {

ReconnectingPort::ReconnectingPort(SerialPort& port, Clock& clock,
                                   std::function<void(Change)> changed)
    : port_(port), clock_(clock), changed_(std::move(changed)) {}

OpenResult ReconnectingPort::Open() {
  OpenResult opened = port_.Open();
  wanted_ = opened.opened;
  lost_ = false;
  return opened;
}

void ReconnectingPort::Close() {
  wanted_ = false;
  lost_ = false;
  port_.Close();
}

ReconnectingPort::Change ReconnectingPort::Revive() {
  if (!wanted_) {
    return Change::kNone;
  }
  const uint32_t now = clock_.TickCount();
  Change change = Change::kNone;
  if (!lost_) {
    if (port_.IsOpen()) {
      return Change::kNone;
    }
    // The port closed itself: its device went away. The first try to
    // reopen it follows at once.
    lost_ = true;
    lastTry_ = now - kRetryPeriodMs;
    Report(Change::kLost);
    change = Change::kLost;
  }
  if (static_cast<uint32_t>(now - lastTry_) < kRetryPeriodMs) {
    return change;
  }
  lastTry_ = now;
  if (!port_.Open()) {
    return change;
  }
  // A fresh start, as after the owner's own Open.
  port_.ClearReceiveBuffer();
  lost_ = false;
  Report(Change::kBack);
  return Change::kBack;
}

// An exchange starts by discarding what is pending, then writes its request:
// either may be the first use of the port since its device went away.
void ReconnectingPort::DiscardPendingInput() {
  Revive();
  port_.DiscardPendingInput();
}

void ReconnectingPort::Write(const uint8_t* data, int16_t length) {
  Revive();
  port_.Write(data, length);
}

void ReconnectingPort::Report(Change change) {
  if (changed_) {
    changed_(change);
  }
}

}  // namespace zt
