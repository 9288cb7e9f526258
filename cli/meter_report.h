#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "meter/instrument_setup.h"
#include "meter/meter_clock.h"
#include "meter/meter_session.h"

namespace zt::cli {

// What the one-shot meter commands print on standard output: lines of text,
// or one JSON object. The console's own messages appear as it shows them; no
// trailing newline.

std::string FormatParameterReads(const ParameterReads& reads, OutputFormat format);
std::string FormatParameterWrites(const ParameterWrites& writes, OutputFormat format);
// `sent` false: a stop request came before the write.
std::string FormatAddressChange(int32_t newAddress, bool confirmed, bool sent,
                                OutputFormat format);
std::string FormatSwitchStatus(const std::optional<SwitchStatus>& status, OutputFormat format);
std::string FormatClock(const std::optional<MeterClock>& clock, OutputFormat format);

std::string FormatSetup(const SetupCommand& setup, const InstrumentSetupOutcome& outcome,
                        OutputFormat format);

// `serverKeepsRate`: the line runs through a serial device server reached by
// raw TCP, whose serial port the technician must now set to the new rate.
std::string FormatBaudChange(int32_t rate, bool confirmed, bool sent, OutputFormat format,
                             bool serverKeepsRate = false);

}  // namespace zt::cli
