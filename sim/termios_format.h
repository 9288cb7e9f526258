#pragma once

#include <termios.h>

#include <cstdint>
#include <optional>

#include "link/link_settings.h"

namespace zt::sim {

// The line format a terminal's settings describe, or nothing for a rate or
// character size this meter never uses.
std::optional<LineFormat> LineFormatOf(const termios& settings);

// Raw mode (no echo, no line editing, no translation) at the format's rate,
// parity and stop bits, with 8 data bits as the meter always uses; false for a
// rate the terminal interface has no constant for.
bool MakeRawLine(termios& settings, const LineFormat& format);

// Whether a client's line, as a pty reports it, matches the meter's. Linux
// keeps no parity on a pty (PARENB is cleared whatever the client asks for),
// so only the rate, the character size and the stop bits can be compared.
bool SameLineOnPty(const LineFormat& client, const LineFormat& meter);

}  // namespace zt::sim
