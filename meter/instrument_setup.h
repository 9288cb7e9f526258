#pragma once

#include <cstdint>
#include <optional>

#include "meter/meter_session.h"

namespace zt {

// PT ratio, CT ratio and wiring mode.
struct InstrumentSettings {
  uint16_t ptRatio = 1;
  uint16_t ctRatio = 1;
  uint8_t wiringMode = 0;
};

// Which of the setup's writes the meter confirmed; none for a write never
// sent because an earlier one was not confirmed or a stop request came first.
struct InstrumentSetupOutcome {
  std::optional<bool> pt;
  std::optional<bool> ct;
  std::optional<bool> wiring;
  bool stopped = false;
  // Why the step not confirmed found no valid reply.
  std::optional<FailureDiagnosis> why;

  bool AllConfirmed() const { return wiring == true; }
  // The message the technician is shown: the first step not confirmed, or
  // "设置仪表参数成功".
  const char* Report() const;
};

// PT, CT, wiring mode in this order; the first write the meter does not
// confirm ends the sequence.
InstrumentSetupOutcome WriteInstrumentSetup(MeterSession& session,
                                            const InstrumentSettings& settings);

// `confirmed` with every step the meter confirmed taken from `written`.
InstrumentSettings ConfirmedSettings(const InstrumentSettings& confirmed,
                                     const InstrumentSettings& written,
                                     const InstrumentSetupOutcome& outcome);

}  // namespace zt
