#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim/meter_responder.h"
#include "sim/request_parser.h"
#include "sim/sim_options.h"

namespace zt::sim {

// Serves the meter on a real line: a fresh pty, or a serial device. On a pty
// the terminal settings are shared by every open file of it, so the client's
// rate and stop bits can be read from the simulator's own slave descriptor; a
// request sent at another rate than the meter's is ignored, as garbage on a
// real line would be. Parity cannot be checked there: a pty keeps none. The
// simulator keeps that descriptor open for its whole run, so the pty
// survives its client closing and reopening it.
class LineServer {
 public:
  LineServer(const SimOptions& options, MeterResponder& responder, std::ostream& log);
  ~LineServer();
  LineServer(const LineServer&) = delete;
  LineServer& operator=(const LineServer&) = delete;

  // Creates the pty or opens the device.
  OpenResult Open();
  // The path a client opens.
  const std::string& DevicePath() const { return devicePath_; }

  // Serves until `stop` becomes non-zero. Signals are taken only while
  // waiting for input, with `waitMask` as the signal mask: the caller blocks
  // its stop signals and leaves them out of `waitMask`. Returns the exit code.
  int Run(const sigset_t& waitMask, const volatile std::sig_atomic_t& stop);

 private:
  void Serve(const Request& request);
  bool ClientLineMatches(const LineFormat& meterLine);
  void Send(const std::vector<uint8_t>& bytes, const LineFormat& line);
  void SwitchLine(const LineFormat& line);
  void Note(const std::string& text);

  const SimOptions& options_;
  MeterResponder& responder_;
  std::ostream& log_;
  RequestFramer framer_;
  int lineFd_ = -1;   // where requests are read and replies written
  int slaveFd_ = -1;  // pty only: held open, and asked for the client's settings
  std::string devicePath_;
  std::string linkMade_;
  std::chrono::steady_clock::time_point lastRead_;
};

}  // namespace zt::sim
