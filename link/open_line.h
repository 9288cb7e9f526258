#pragma once

#include <string>

#include "link/link_settings.h"
#include "link/serial_port.h"

namespace zt {

// Opens `port` on the line of `settings`, the one way every part of the
// product does: the port number selected (on `device` when one is named),
// its line format set, the port opened, and what the driver held from
// before dropped. The port must be closed.
OpenResult OpenLine(SerialPort& port, const LinkSettings& settings, const std::string& device = {});

}  // namespace zt
