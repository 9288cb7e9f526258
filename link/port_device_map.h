#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace zt {

// Port number 1 or 2 to the device that is opened for it: "COM1"/"COM2" on
// Windows, /dev/ttyS0 and /dev/ttyS1 elsewhere, unless a device path has been
// given for that port number (a USB adapter, a pty).
class PortDeviceMap {
 public:
  // An empty device gives the number back to the platform's default.
  void Override(int16_t portNumber, std::string device) {
    if (device.empty()) {
      overrides_.erase(portNumber);
    } else {
      overrides_[portNumber] = std::move(device);
    }
  }
  std::string DeviceFor(int16_t portNumber) const;

  static std::string PlatformDefault(int16_t portNumber);

 private:
  std::map<int16_t, std::string> overrides_;
};

}  // namespace zt
