#pragma once

#include <string>
#include <vector>

namespace zt {

// One serial port the system reports: its name ("ttyUSB0", "COM5"), the
// device to open ("/dev/ttyUSB0", "COM5") and what the driver calls it
// ("CH340 serial converter"; may be empty).
struct SerialPortEntry {
  std::string name;
  std::string device;
  std::string description;

  friend bool operator==(const SerialPortEntry&, const SerialPortEntry&) = default;
};

// The serial ports present at this moment, asked anew on each call.
class PortLister {
 public:
  virtual ~PortLister() = default;
  virtual std::vector<SerialPortEntry> List() = 0;
};

}  // namespace zt
