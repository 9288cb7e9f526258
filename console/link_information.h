#pragma once

#include <string>

#include "link/link_settings.h"

namespace zt {

// The link information text of box 1057. At opening the parity-none entry
// has two blanks after its colon; after a change of settings, one. When
// `device`, the port number's device, names a serial device server, the
// server and its kind follow.
std::string LinkInformationText(const LinkSettings& settings, bool afterChange,
                                bool lineEchoes = false, const std::string& device = {});

}  // namespace zt
