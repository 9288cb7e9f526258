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

std::string FormatBaudChange(int32_t rate, bool confirmed, bool sent, OutputFormat format);

}  // namespace zt::cli
