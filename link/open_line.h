#pragma once

#include <string>

#include "link/link_settings.h"
#include "link/serial_port.h"
#include "link/transaction.h"

namespace zt {

// Opens `port` on the line of `settings`, the one way every part of the
// product does: the port number selected (on `device` when one is named),
// its line format set, the port opened, and what the driver held from
// before dropped. The port must be closed.
OpenResult OpenLine(SerialPort& port, const LinkSettings& settings, const std::string& device = {});

// Closes `port` and opens it again at `settings`; once it is open, the
// transaction forgets what it knew of the old line, and a fast exchange is
// timed for the new line format.
OpenResult ReopenLine(SerialPort& port, Transaction& transaction, const LinkSettings& settings);

}  // namespace zt
