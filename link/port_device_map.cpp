#include "link/port_device_map.h"

namespace zt {

std::string PortDeviceMap::DeviceFor(int16_t portNumber) const {
  if (const auto it = overrides_.find(portNumber); it != overrides_.end()) {
    return it->second;
  }
  return PlatformDefault(portNumber);
}

std::string PortDeviceMap::PlatformDefault(int16_t portNumber) {
#ifdef _WIN32
  return "COM" + std::to_string(portNumber);
#else
  return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

}  // namespace zt
