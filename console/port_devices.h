#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zt {

// The device each port number, 1 and 2, stands for; empty for the port's
// own device of that number (the platform's COM1 or /dev/ttyS0, unless the
// port was made with another).
struct PortDevices {
  std::array<std::string, 2> device;
  // Named on the command line (--port1, --port2): shown, not chosen.
  std::array<bool, 2> fixed{};

  const std::string& For(int16_t port) const { return device.at(Index(port)); }
  std::string& For(int16_t port) { return device.at(Index(port)); }
  bool Fixed(int16_t port) const { return fixed.at(Index(port)); }

  friend bool operator==(const PortDevices&, const PortDevices&) = default;

 private:
  static std::size_t Index(int16_t port) { return port == 2 ? 1 : 0; }
};

}  // namespace zt
