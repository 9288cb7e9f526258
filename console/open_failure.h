#pragma once

#include <QString>

#include "link/serial_port.h"

namespace zt {

// The message of a port that cannot be opened: the device, the system's
// reason and, when the user lacks permission, how to get it.
QString OpenFailureMessage(const OpenResult& opened);

}  // namespace zt
