#pragma once

#include "meter/energy_units.h"

namespace zt {

struct PhaseQuantities {
  double PhaseVoltage = 0;
  double LineVoltage = 0;  // A: between C and A, B: A and B, C: B and C
  double Current = 0;
  double ActivePower = 0;
  double PowerFactor = 0;
  double ReactivePower = 0;
  double ApparentPower = 0;
};

struct ThreePhaseQuantities {
  PhaseQuantities PhaseA;
  PhaseQuantities PhaseB;
  PhaseQuantities PhaseC;
  double ZeroSequenceCurrent = 0;
  double CombinedPhaseVoltage = 0;
  double CombinedCurrent = 0;
  double Frequency = 0;
  double TotalActivePower = 0;
  double TotalPowerFactor = 0;
  double TotalReactivePower = 0;
  double TotalApparentPower = 0;
  double ForwardActiveEnergy = 0;
  double ReverseActiveEnergy = 0;  // a magnitude; the log writes it negated
  double ForwardReactiveEnergy = 0;
  double ReverseReactiveEnergy = 0;  // a magnitude; the log writes it negated
  double CombinedLineVoltage = 0;
};

}  // namespace zt
