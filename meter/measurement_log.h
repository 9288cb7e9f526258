#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "meter/measured_quantities.h"
#include "meter/meter_clock.h"
#include "meter/whole_append.h"

namespace zt {

// Wall-clock time in the meter's zone, UTC+8, whatever the machine's zone.
MeterClock ToUtcPlus8(std::chrono::system_clock::time_point utc);

// One block of the log in code page 936 (GBK) with CR LF line ends: an empty
// line, the time stamp and eleven lines of the table. Field widths count
// bytes of the encoded text.
std::string FormatMeasurementBlock(const ThreePhaseQuantities& quantities,
                                   const EnergyUnits& units, const MeterClock& time);

// Appends `block` to `file`, creating it when missing, whole or not at all
// (see AppendWhole): false when the file is not a regular file the user may
// write, or the block could not be written and flushed whole; the file is
// then left as it was.
bool AppendToLog(const std::filesystem::path& file, const std::string& block,
                 AppendFailure* why = nullptr);

// One block stamped with the time `utc` in the meter's zone, appended to
// `file`; false as AppendToLog.
bool AppendMeasurementBlock(const std::filesystem::path& file,
                            const ThreePhaseQuantities& quantities, const EnergyUnits& units,
                            std::chrono::system_clock::time_point utc,
                            AppendFailure* why = nullptr);

}  // namespace zt
