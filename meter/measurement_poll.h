#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/failure_cause.h"
#include "meter/link_statistics.h"
#include "meter/measured_quantities.h"
#include "meter/meter_session.h"

namespace zt {

// Why a tick has no good live value.
struct TickFailure {
  // The live value came, but no decimal point has been read from the meter
  // in this run (or the one held is none of 0 to 3): it has no known scale.
  bool decimalPointUnread = false;
  // Otherwise what spoilt the tick: the live read's own failure, a decimal
  // point that answered another request, or late bytes between the reads.
  FailureDiagnosis diagnosis;

  // "decimal_point_unread" or the cause's key, for JSON and CSV.
  std::string_view Key() const;
  // "decimal point not read" or the cause's words.
  std::string Words() const;
  bool operator==(const TickFailure&) const = default;
};

// The measurement poll of both front ends: one tick reads the decimal point
// and the live value, counts the tick in the link statistics and, when the
// live value is good, scales it by the decimal point and records it as the
// current of the single phase the meter measures. A live value is good only
// when a decimal point of this meter scales it, the tick's decimal-point
// read answered no other request, and no late byte was heard between the two
// reads: a Modbus RTU reply names no request, so these are all the link can
// tell about which request a reply answers.
class MeasurementPoll {
 public:
  explicit MeasurementPoll(MeterSession& session) : session_(session) {}

  // One tick of timer 1; true when the live value is good. Under the fast
  // exchange policy the 300 ms pause between the two reads is left out: the
  // line silence the policy keeps separates them.
  bool Tick();
  // The same tick, which sends no further request once `stop` is set: empty
  // when it stopped before the live value was read, and then counts nothing.
  std::optional<bool> Tick(const std::atomic<bool>& stop);

  // The decimal point that scales the live value: the last one read. The
  // console lets the technician change it between ticks; a value typed there
  // scales nothing until the meter's own has been read once.
  int32_t DecimalPoint() const { return decimalPoint_; }
  void SetDecimalPoint(int32_t decimalPoint) { decimalPoint_ = decimalPoint; }
  // A decimal point the meter gave outside the poll (the parameter read);
  // false, and nothing changes, when it is none of 0 to 3.
  bool AdoptDecimalPoint(int32_t decimalPoint);
  bool DecimalPointRead() const { return decimalPointRead_; }

  // What the latest tick read, each empty when its read got no reply.
  const PollResult& LastReads() const { return lastReads_; }
  // Why the latest tick has no good live value; empty after a good one.
  const std::optional<TickFailure>& LastFailure() const { return failure_; }
  // The live value read by the latest tick, four decimals; none before the
  // first tick and none after a tick that failed. A failed tick never hands
  // on an earlier reading: a front end shows the failure, and keeps an
  // earlier value on show only marked as stale.
  const std::optional<std::string>& LiveText() const { return live_; }
  // Mutable: the console's boxes show and edit the counts.
  LinkStatistics& Statistics() { return stats_; }
  const LinkStatistics& Statistics() const { return stats_; }
  const ThreePhaseQuantities& Quantities() const { return quantities_; }

 private:
  std::optional<TickFailure> Judge(const std::optional<FailureDiagnosis>& decimalPointFailure,
                                   bool lateBetween) const;

  MeterSession& session_;
  int32_t decimalPoint_ = 0;
  bool decimalPointRead_ = false;
  PollResult lastReads_;
  std::optional<TickFailure> failure_;
  std::optional<std::string> live_;
  LinkStatistics stats_;
  ThreePhaseQuantities quantities_;
};

}  // namespace zt
