#include "link/device_permission.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace zt {

std::optional<DeviceAccessDenied> CheckDeviceAccess(const std::string& device) {
#ifdef _WIN32
  (void)device;
  return std::nullopt;
#else
  if (access(device.c_str(), R_OK | W_OK) == 0 || errno != EACCES) {
    return std::nullopt;
  }
  DeviceAccessDenied denied;
  struct stat status {};
  if (stat(device.c_str(), &status) == 0) {
    if (const struct group* owner = getgrgid(status.st_gid)) {
      denied.group = owner->gr_name;
    }
  }
  return denied;
#endif
}

}  // namespace zt
