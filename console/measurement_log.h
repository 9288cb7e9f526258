#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <string>

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

// Units of the forward and reverse active, forward and reverse reactive
// energies, UTF-8.
using EnergyUnits = std::array<std::string, 4>;

// Wall-clock time in the meter's zone, UTC+8, whatever the machine's zone.
struct LogTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
LogTime ToUtcPlus8(std::chrono::system_clock::time_point utc);

// One block of the log in code page 936 (GBK) with CR LF line ends: an empty
// line, the time stamp and eleven lines of the table. Field widths count
// bytes of the encoded text.
std::string FormatMeasurementBlock(const ThreePhaseQuantities& quantities,
                                   const EnergyUnits& units, const LogTime& time);

// Appends `block` to `file`, creating it when missing; each line reaches the
// file as it is written. False when the file cannot be opened for writing,
// a read-only file included; the file is then left as it was.
bool AppendToLog(const std::filesystem::path& file, const std::string& block);

}  // namespace zt
