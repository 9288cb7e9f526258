#include "link/serial_port.h"

namespace zt {

void SendFrame(SerialPort& port, const uint8_t* data, int16_t length) {
  if (port.IsOpen()) {
    port.Write(data, length);
  }
}

}  // namespace zt
