#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/exchange_statistics.h"
#include "link/failure_cause.h"
#include "link/link_settings.h"
#include "meter/link_statistics.h"
#include "meter/meter_session.h"
#include "meter/site_profile.h"

namespace zt {

using WallTime = std::chrono::system_clock::time_point;

enum class Verdict {
  Match,
  Differs,
  NotReadable,    // this meter cannot be asked for the value
  NoReply,        // the meter did not answer the read
  NoExpectation,  // read and shown; the profile says nothing about it
};

// "match", "differs", "not_readable", "no_reply", "no_expectation".
std::string_view VerdictKey(Verdict verdict);

// Keys of the check's rows, in the order shown.
namespace row {
inline constexpr std::string_view kAddress = "address";
inline constexpr std::string_view kBaud = "baud";  // the rate the meter answers at
inline constexpr std::string_view kParity = "parity";
inline constexpr std::string_view kParameterBaud = "parameter_baud";  // register 0x0308
inline constexpr std::string_view kDecimalPoint = "decimal_point";
inline constexpr std::string_view kUpperLimit = "upper_limit";
inline constexpr std::string_view kLowerLimit = "lower_limit";
inline constexpr std::string_view kPt = "pt";
inline constexpr std::string_view kCt = "ct";
inline constexpr std::string_view kWiring = "wiring";
inline constexpr std::string_view kRelay = "relay";
inline constexpr std::string_view kSwitch = "switch";
inline constexpr std::string_view kClock = "clock";
}  // namespace row

struct CheckRow {
  std::string key;
  std::optional<std::string> expected;  // none: not in the profile
  std::optional<std::string> read;      // none: not read
  Verdict verdict = Verdict::NoReply;
  // When it was read, or for a value that cannot be read, when the meter last
  // confirmed writing it in this run.
  std::optional<WallTime> at;
  // The clock's offset, or why a value differs beyond its text.
  std::string note;
};

// One read of the check, with its time.
struct ReadRecord {
  std::string what;  // a row key, or "live"
  std::optional<std::string> value;  // none: no reply
  WallTime at;
};

// PT, CT and wiring as the meter last confirmed them in this run: the meter
// cannot be asked for them, so a check can only tell what was written.
struct ConfirmedInstrument {
  struct Entry {
    int32_t value = 0;
    WallTime at;
  };
  std::optional<Entry> pt;
  std::optional<Entry> ct;
  std::optional<Entry> wiring;
};

struct LiveSummary {
  int polls = 0;
  int replies = 0;
  std::optional<double> min;
  std::optional<double> max;
  std::optional<double> mean;
};

// The link's verdict over the exchanges of one check.
struct LinkVerdict {
  int64_t exchanges = 0;
  int64_t failures = 0;
  std::optional<FailureCause> mainCause;  // the most frequent failure cause
  std::string check;                      // what to look at for it

  bool Healthy() const { return failures == 0; }
};

// The link as it stood at the end of the check.
struct LinkDescription {
  LinkSettings settings;
  std::optional<bool> echoes;  // the adapter's local echo, when known
};

struct CheckReport {
  WallTime started;
  WallTime finished;
  std::vector<CheckRow> rows;
  std::vector<ReadRecord> reads;
  LiveSummary live;
  LinkStatistics pollStatistics;
  LinkVerdict link;
  ExchangeSummary exchanges;  // the link's exchanges since it was opened
  LinkDescription line;
  // The values read as the console's own commands show them; a value not
  // read is empty.
  ParameterReads parameters;
  std::optional<SwitchStatus> states;
  bool cancelled = false;

  const CheckRow* Row(std::string_view key) const;
  // No row differs and none went unanswered, and the check ran to its end.
  bool AllMatch() const;
};

struct CheckOptions {
  int livePolls = 10;
  std::function<WallTime()> wallClock = [] { return std::chrono::system_clock::now(); };
  // Asked between exchanges; once it says yes, nothing more is sent.
  std::function<bool()> stopRequested;
  // Told after each step, for a front end that shows progress.
  std::function<void(std::string_view step)> progress;
};

// Reads the parameter block, the relay and switch states and the clock, polls
// the live value `livePolls` times and compares what it read with `profile`.
CheckReport CheckMeter(MeterSession& session, const SiteProfile& profile,
                       const ConfirmedInstrument& confirmed, const CheckOptions& options);

// The meter's clock as a time, with the meter keeping UTC+8; none for a
// clock that is no valid date and time.
std::optional<WallTime> MeterClockTime(const MeterClock& clock);
// "2006-12-15 10:30:45" for `time` in UTC+8.
std::string ChinaTimeText(WallTime time);

}  // namespace zt
