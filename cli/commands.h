#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/command_line.h"
#include "cli/side_work_clock.h"
#include "link/clock.h"
#include "link/serial_port.h"
#include "meter/meter_session.h"

namespace zt::cli {

// Where a command prints and what it may be told from outside while it runs.
struct CommandIo {
  OutputFormat format = OutputFormat::Text;
  std::ostream& out;
  std::ostream& err;
  // Polled between exchanges by the commands that run until interrupted.
  std::function<bool()> stopRequested = [] { return false; };
  std::filesystem::path logFile = "Table.txt";
  // Standard error is a terminal: a command that runs long shows its
  // progress there on one line, rewritten in place.
  bool showProgress = false;
  std::function<std::chrono::system_clock::time_point()> wallClock = [] {
    return std::chrono::system_clock::now();
  };
  // Set by the first line that could not be written (a full disk, a closed
  // pipe): the system's reason. The commands that run until interrupted
  // stop at it, and the program ends with kOutputNotWritten.
  std::optional<std::string> outputLost = std::nullopt;
  // The clock the session's waits sleep on, when it can run work of the
  // command's own inside them: the log's blocks then keep their interval
  // through a poll's waits. Without it a block waits for the end of a tick.
  SideWorkClock* sideWork = nullptr;
  // The line's rate is a serial device server's own (reached by raw TCP):
  // a new rate can be told to the meter, not set on the line.
  bool serverKeepsRate = false;
};

// Runs one command over an open link and returns the exit status. Every wait
// goes through the session's clock. A scan is not run here: it needs the
// port itself (RunScan).
int RunCommand(const Command& command, MeterSession& session, CommandIo& io);

// Looks for meters on `port`, which is open; the port's line format is left
// at the last line tried.
int RunScan(const ScanCommand& scan, SerialPort& port, Clock& clock, CommandIo& io);

// Prints one line of output: a JSON object with its time as the first member.
// Nothing more is printed once a line could not be.
void PrintLine(CommandIo& io, const std::string& text);
// Why the last write of a stream failed, from errno (cleared before it).
std::string WriteFailureReason();

int RunPoll(const PollCommand& poll, MeterSession& session, CommandIo& io);
int RunLog(const LogCommand& log, MeterSession& session, CommandIo& io);

}  // namespace zt::cli
