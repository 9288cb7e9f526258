#pragma once

#include <chrono>
#include <cstddef>

#include "link/link_settings.h"

namespace zt::sim {

// How long the meter takes between the last byte of a request and the first
// byte of its reply, unless configured otherwise.
inline constexpr std::chrono::microseconds kDefaultReplyLatency = std::chrono::milliseconds(20);

// One character on the line: start bit, data bits, parity bit if any, stop
// bits (11 bits at 8N2, 12 at 8E2 or 8O2). Rounded up to whole microseconds.
std::chrono::microseconds CharacterTime(const LineFormat& format);

// The time `bytes` characters take back to back, rounded up once for the
// whole run so that long runs do not collect rounding errors.
std::chrono::microseconds LineTime(const LineFormat& format, std::size_t bytes);

}  // namespace zt::sim
