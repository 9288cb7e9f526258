#pragma once

#include "link/port_list.h"

namespace zt {

// The ports Qt Serial Port finds: the system's serial devices with their
// drivers' descriptions.
class QtPortLister final : public PortLister {
 public:
  std::vector<SerialPortEntry> List() override;
};

}  // namespace zt
