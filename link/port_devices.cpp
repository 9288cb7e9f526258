#include "link/port_devices.h"

namespace zt {

std::string PortDevices::DeviceFor(int16_t port) const {
  const std::string& named = For(port);
  return named.empty() ? PlatformDefault(port) : named;
}

std::string PortDevices::PlatformDefault(int16_t port) {
#ifdef _WIN32
  return "COM" + std::to_string(port);
#else
  return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

}  // namespace zt
