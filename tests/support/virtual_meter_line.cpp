#include "virtual_meter_line.h"

#include <cstdio>

#include "support/hex.h"

namespace zt::test {

bool VirtualMeterLine::OpenLine(std::string_view settings) {
  port.Close();
  port.SelectPort(1);
  if (!port.SetLineFormat(settings) || !port.Open()) {
    return false;
  }
  port.ClearReceiveBuffer();
  return true;
}

void VirtualMeterLine::Silence() {
  sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
}

void VirtualMeterLine::SilenceRegisters(uint16_t first, uint16_t last) {
  sim::FaultConfig silent;
  silent.silent = true;
  silent.appliesTo = sim::TouchingRegisters(first, last);
  port.SetFaults(silent);
}

std::vector<std::string> VirtualMeterLine::Frames() const {
  std::vector<std::string> rows;
  for (const sim::WrittenFrame& frame : port.Written()) {
    const long long micros = frame.at.count();
    std::string row = At(micros / 1000, Hex(frame.bytes));
    if (micros % 1000 != 0) {
      // A time between whole milliseconds is shown to the microsecond.
      char fraction[8];
      std::snprintf(fraction, sizeof fraction, ".%03lld", micros % 1000);
      row.insert(row.find(':'), fraction);
    }
    rows.push_back(row);
  }
  return rows;
}

std::string At(long long ms, std::string_view frame) {
  return std::to_string(ms) + ": " + std::string(frame);
}

}  // namespace zt::test
