#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "meter/link_statistics.h"
#include "meter/measured_quantities.h"
#include "meter/meter_session.h"

namespace zt {

// The measurement poll of both front ends: one tick reads the decimal point
// and the live value, counts the tick in the link statistics and, when the
// live value came, scales it by the decimal point and records it as the
// current of the single phase the meter measures.
class MeasurementPoll {
 public:
  explicit MeasurementPoll(MeterSession& session) : session_(session) {}

  // One tick of timer 1; true when the live value was read. Under the fast
  // exchange policy the 300 ms pause between the two reads is left out: the
  // line silence the policy keeps separates them.
  bool Tick();
  // The same tick, which sends no further request once `stop` is set: empty
  // when it stopped before the live value was read, and then counts nothing.
  std::optional<bool> Tick(const std::atomic<bool>& stop);

  // The decimal point that scales the live value: the last one read. The
  // console lets the technician change it between ticks.
  int32_t DecimalPoint() const { return decimalPoint_; }
  void SetDecimalPoint(int32_t decimalPoint) { decimalPoint_ = decimalPoint; }

  // What the latest tick read, each empty when its read got no reply.
  const PollResult& LastReads() const { return lastReads_; }
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
  MeterSession& session_;
  int32_t decimalPoint_ = 0;
  PollResult lastReads_;
  std::optional<std::string> live_;
  LinkStatistics stats_;
  ThreePhaseQuantities quantities_;
};

}  // namespace zt
