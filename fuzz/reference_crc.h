#pragma once

#include <cstdint>

namespace zt::fuzz {

// Bit by bit, as the CRC-16/MODBUS catalogue defines it, so that the
// table-driven routine is checked against an independent computation. The
// register's low-order byte is the one sent first: it is the high byte of
// the value returned, as ModbusCrc16 returns it.
inline uint16_t ReferenceLineCrc(const uint8_t* data, int count) {
  uint16_t crc = 0xFFFF;
  for (int i = 0; i < count; ++i) {
    crc = static_cast<uint16_t>(crc ^ data[i]);
    for (int bit = 0; bit < 8; ++bit) {
      const bool carry = (crc & 1U) != 0;
      crc = static_cast<uint16_t>(crc >> 1);
      if (carry) {
        crc = static_cast<uint16_t>(crc ^ 0xA001);
      }
    }
  }
  return static_cast<uint16_t>(((crc & 0xFF) << 8) | (crc >> 8));
}

// The CRC of data[0, length - 2) holds in its last two bytes.
inline bool CrcHolds(const uint8_t* frame, int length) {
  const uint16_t crc = ReferenceLineCrc(frame, length - 2);
  return frame[length - 2] == (crc >> 8) && frame[length - 1] == (crc & 0xFF);
}

}  // namespace zt::fuzz
