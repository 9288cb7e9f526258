#pragma once

#include <optional>
#include <string>

namespace zt {

// Why the user may not open a device file, when the reason is its
// permissions: the group that owns it, whose members may (on Linux a serial
// adapter belongs to "dialout"). Empty group when it has no name.
struct DeviceAccessDenied {
  std::string group;
};

// Asks the system whether the user lacks read or write permission on
// `device`; nothing when it may use it, when the device does not exist, or
// where devices carry no such permissions (Windows).
std::optional<DeviceAccessDenied> CheckDeviceAccess(const std::string& device);

}  // namespace zt
