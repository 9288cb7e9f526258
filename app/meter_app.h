#pragma once

#include "link/port_device_map.h"

namespace zt {

class Clock;
class ModalUi;
class SerialPort;

// The start-up sequence: the settings dialog with the defaults, then, on OK,
// the console with the confirmed settings until it closes.
class CMeterApp {
 public:
  CMeterApp(ModalUi& ui, SerialPort& port, Clock& clock) : ui_(ui), port_(port), clock_(clock) {}

  // Runs the whole program; returns when it is to end. Cancelling the
  // settings dialog ends it without a console and without touching the port.
  void InitInstance();

 private:
  ModalUi& ui_;
  SerialPort& port_;
  Clock& clock_;
};

}  // namespace zt
