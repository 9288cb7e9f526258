#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "console/link_worker.h"

namespace zt {

class Clock;
class ModalUi;
class PortLister;
class SerialPort;
class SettingsMemory;

// The start-up sequence: the settings dialog with the defaults (or the
// settings remembered from the last run), then, on OK, the console with the
// confirmed settings until it closes.
class CMeterApp {
 public:
  using WorkerMaker = std::function<std::unique_ptr<LinkWorker>(const LinkSettings&)>;

  // The console's exchanges run at once on the caller's thread.
  CMeterApp(ModalUi& ui, SerialPort& port, Clock& clock);
  // The console's exchanges run on the worker `makeWorker` makes for the
  // confirmed settings.
  CMeterApp(ModalUi& ui, WorkerMaker makeWorker) : ui_(ui), makeWorker_(std::move(makeWorker)) {}

  // The serial ports the settings dialog offers.
  void SetPortLister(PortLister* ports) { ports_ = ports; }
  // Where the settings are remembered from one run to the next; without it
  // every run starts from the defaults.
  void SetSettingsMemory(SettingsMemory* memory) { memory_ = memory; }
  // The devices named on the command line for port numbers 1 and 2 (empty
  // for none): they stand for those numbers whatever was remembered.
  void SetCommandLineDevices(std::array<std::string, 2> devices) {
    commandLineDevices_ = std::move(devices);
  }

  // Runs the whole program; returns when it is to end. Cancelling the
  // settings dialog ends it without a console and without touching the port
  // (unless the technician searched for a meter).
  void InitInstance();

 private:
  ModalUi& ui_;
  WorkerMaker makeWorker_;
  PortLister* ports_ = nullptr;
  SettingsMemory* memory_ = nullptr;
  std::array<std::string, 2> commandLineDevices_;
};

}  // namespace zt
