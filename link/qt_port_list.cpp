#include "link/qt_port_list.h"

#include <QSerialPortInfo>

namespace zt {

std::vector<SerialPortEntry> QtPortLister::List() {
  std::vector<SerialPortEntry> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString(),
                     info.description().toStdString()});
  }
  return ports;
}

}  // namespace zt
