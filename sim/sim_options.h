#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/link_settings.h"
#include "meter/meter_clock.h"
#include "sim/fault_config.h"
#include "sim/line_timing.h"
#include "sim/meter_model.h"

namespace zt::sim {

// Everything zt6100-sim is told on its command line.
struct SimOptions {
  // Serve this serial device instead of a fresh pty.
  std::optional<std::string> device;
  // A symbolic link to the pty, made at start and removed at exit, so a
  // client can find a restarted meter at the same path.
  std::optional<std::string> linkPath;
  // Every byte the client sends comes straight back, as from a two-wire
  // adapter that hears its own transmission.
  bool localEcho = false;
  // Each read of the live value returns a value no recent read returned.
  bool distinctLive = false;
  uint8_t address = MeterModel::kDefaultAddress;
  uint16_t baudIndex = MeterModel::kDefaultLineBaudIndex;
  ParityIndex parity = kParityNone;
  std::chrono::microseconds latency = kDefaultReplyLatency;
  // Pace each reply byte by the character time of the meter's line.
  bool lineTiming = false;
  // One line on standard error for every request and what became of it.
  bool verbose = false;
  // Each of those lines starts with the monotonic time, in microseconds, at
  // which the request's last bytes were read from the line.
  bool timestamps = false;
  FaultConfig faults;
  FaultMix faultMix;

  std::optional<uint16_t> decimalPoint;
  std::optional<uint16_t> upperLimit;
  std::optional<uint16_t> lowerLimit;
  std::optional<uint16_t> parameterBaud;
  std::optional<uint16_t> liveBase;
  std::optional<uint8_t> relayOutput;
  std::optional<uint8_t> switchInput;
  std::optional<MeterClock> clock;
};

struct ParsedOptions {
  std::optional<SimOptions> options;  // empty on an error, after --help or --version
  bool help = false;
  bool version = false;
  std::string error;
};

// `arguments` without the program name. Numbers may be decimal or 0x-hex.
ParsedOptions ParseSimOptions(std::span<const std::string_view> arguments);

// The text of --help.
std::string_view UsageText();

// Puts the initial values of `options` into a fresh meter.
void ApplyOptions(const SimOptions& options, MeterModel& meter);

}  // namespace zt::sim
