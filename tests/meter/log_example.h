#pragma once

#include "meter/measured_quantities.h"
#include "meter/meter_clock.h"

namespace zt::test {

// Quantities of one measurement block: a few values set, the rest zero, and
// a forward active energy wider than its 8 bytes.
inline ThreePhaseQuantities LogExample() {
  ThreePhaseQuantities q;
  q.CombinedPhaseVoltage = 230.456789;
  q.PhaseA.PhaseVoltage = 231.5;
  q.CombinedLineVoltage = 400.456789;
  q.CombinedCurrent = 12.3456789;
  q.Frequency = 50;
  q.ForwardActiveEnergy = 123456789;
  q.ReverseActiveEnergy = 12.5;
  q.ReverseReactiveEnergy = 3;
  return q;
}

inline constexpr MeterClock kNewYear{2007, 1, 1, 1, 30, 5};

}  // namespace zt::test
