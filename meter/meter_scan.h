#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/serial_port.h"
#include "link/transaction.h"

namespace zt {

// A rate and a parity the scan tries every address at.
struct ScanLine {
  int32_t baudRate = 9600;
  int32_t parity = kParityNone;

  friend bool operator==(const ScanLine&, const ScanLine&) = default;
};

// What to try, in this order: every address of `addresses` on the first
// line, then on the next.
struct ScanPlan {
  // Time a meter gets to begin its reply once the request has arrived, on top
  // of the line time of request and reply.
  static constexpr std::chrono::milliseconds kDefaultTurnaround{100};

  std::vector<uint8_t> addresses;
  std::vector<ScanLine> lines;
  bool stopAtFirst = false;
  std::chrono::milliseconds turnaround = kDefaultTurnaround;
  LocalEcho echo = LocalEcho::Auto;

  int64_t Tries() const {
    return static_cast<int64_t>(addresses.size()) * static_cast<int64_t>(lines.size());
  }
  // The time the whole plan takes on a line where no meter answers.
  std::chrono::milliseconds WorstCase() const;
};

// The meter's five rates, 9600 bit/s first.
std::vector<int32_t> DefaultScanRates();

// Every rate of `rates` at the first of `parities`, then every rate at the
// next; a line named twice is tried once, where it comes first.
std::vector<ScanLine> ScanLines(const std::vector<int32_t>& rates,
                                const std::vector<int32_t>& parities);

// Addresses 1 to 247 (every unicast Modbus address) at each of the meter's
// five rates, 9600 bit/s first, parity none.
ScanPlan DefaultScanPlan();

// The wait of one try: the request's and the reply's line time, rounded up
// to the millisecond, plus the turnaround.
std::chrono::milliseconds ScanTryWait(const ScanLine& line, std::chrono::milliseconds turnaround);

// "1-10,20" (ascending or not, each 1 to 255; an address given twice is
// tried once), or nothing when the text is not such a list.
std::optional<std::vector<uint8_t>> ParseAddressList(std::string_view text);

// A meter that answered: its address, the line it answered on, and the
// decimal point it read out.
struct ScanHit {
  uint8_t address = 0;
  ScanLine line;
  int32_t decimalPoint = 0;

  friend bool operator==(const ScanHit&, const ScanHit&) = default;
};

// The try about to be made: `done` tries of `total` are over.
struct ScanProgress {
  int64_t done = 0;
  int64_t total = 0;
  uint8_t address = 0;
  ScanLine line;
};

struct ScanCallbacks {
  // Asked before each try; the scan ends there when it says so.
  std::function<bool()> stopRequested;
  std::function<void(const ScanProgress&)> progress;
  std::function<void(const ScanHit&)> found;
};

struct ScanOutcome {
  std::vector<ScanHit> found;
  int64_t tries = 0;
  bool stopped = false;  // stopRequested ended it
};

// Reads the decimal point of every address of `plan` on each of its lines,
// with the fast exchange (the reply ends the wait), on `port`, which must be
// open; the port's line format is left at the last line tried. The caller
// restores it.
ScanOutcome ScanForMeters(SerialPort& port, Clock& clock, const ScanPlan& plan,
                          const ScanCallbacks& callbacks = {});

}  // namespace zt
