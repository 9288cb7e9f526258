#pragma once

#include <functional>
#include <memory>

#include "console/link_worker.h"

namespace zt {

class Clock;
class ModalUi;
class SerialPort;

// The start-up sequence: the settings dialog with the defaults, then, on OK,
// the console with the confirmed settings until it closes.
class CMeterApp {
 public:
  using WorkerMaker = std::function<std::unique_ptr<LinkWorker>(const LinkSettings&)>;

  // The console's exchanges run at once on the caller's thread.
  CMeterApp(ModalUi& ui, SerialPort& port, Clock& clock);
  // The console's exchanges run on the worker `makeWorker` makes for the
  // confirmed settings.
  CMeterApp(ModalUi& ui, WorkerMaker makeWorker) : ui_(ui), makeWorker_(std::move(makeWorker)) {}

  // Runs the whole program; returns when it is to end. Cancelling the
  // settings dialog ends it without a console and without touching the port.
  void InitInstance();

 private:
  ModalUi& ui_;
  WorkerMaker makeWorker_;
};

}  // namespace zt
