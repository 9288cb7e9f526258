#pragma once

#include <optional>
#include <string>

#include "console/measurement_log.h"
#include "meter/link_statistics.h"
#include "meter/meter_session.h"

namespace zt::cli {

// The console's measurement poll without a window: the same exchanges, the
// same statistics and live-value text, and the same current in the log's
// quantity record.
class MeasurementPoller {
 public:
  // With `fast`, the pause between the decimal-point read and the live-value
  // read is only the line silence the fast exchange keeps anyway.
  MeasurementPoller(MeterSession& session, bool fast) : session_(session), fast_(fast) {}

  // One tick of timer 1; true when the live value was read.
  bool Tick();

  // The live value as the console shows it; none until the first reply.
  const std::optional<std::string>& LiveText() const { return live_; }
  const LinkStatistics& Statistics() const { return stats_; }
  const ThreePhaseQuantities& Quantities() const { return quantities_; }

 private:
  MeterSession& session_;
  bool fast_;
  // Kept from the last successful read, as the console's field is.
  int32_t decimalPoint_ = 0;
  std::optional<std::string> live_;
  LinkStatistics stats_;
  ThreePhaseQuantities quantities_;
};

}  // namespace zt::cli
