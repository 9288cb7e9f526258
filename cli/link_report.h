#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "link/frame_trace.h"
#include "link/serial_port.h"
#include "link/transaction.h"

namespace zt::cli {

// What the link itself tells on standard error: the frames, what it found
// out, why the port did not open.

// One line of --trace.
FrameObserver TraceTo(std::ostream& out, std::chrono::microseconds origin);
// What the link found out during the run, for --verbose: one line each, empty
// when there is nothing to say.
std::string FormatLinkNotes(const std::optional<bool>& lineEchoes, LocalEcho mode,
                            const LinkCounters& counters);
// Why the port could not be opened: the device and the system's reason, and
// when the user lacks permission, how to get it.
std::string FormatOpenFailure(const OpenResult& opened);

}  // namespace zt::cli
