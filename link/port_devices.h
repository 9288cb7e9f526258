#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zt {

// The device each port number, 1 and 2, stands for: a device path or a
// serial device server named for it (a USB adapter, a pty, "tcp://..."), or
// empty for the platform's own device of that number, "COM1"/"COM2" on
// Windows, /dev/ttyS0 and /dev/ttyS1 elsewhere.
struct PortDevices {
  std::array<std::string, 2> device;
  // Named on the command line (--port1, --port2): shown, not chosen.
  std::array<bool, 2> fixed{};

  const std::string& For(int16_t port) const { return device.at(Index(port)); }
  std::string& For(int16_t port) { return device.at(Index(port)); }
  bool Fixed(int16_t port) const { return fixed.at(Index(port)); }

  // The device opened for the port number: the one named, else the platform's.
  std::string DeviceFor(int16_t port) const;
  static std::string PlatformDefault(int16_t port);

  friend bool operator==(const PortDevices&, const PortDevices&) = default;

 private:
  static std::size_t Index(int16_t port) { return port == 2 ? 1 : 0; }
};

}  // namespace zt
