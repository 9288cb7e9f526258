#pragma once

#include <array>
#include <cstdint>
#include <span>

// CRC-16/MODBUS over `count` bytes. The result holds the two CRC bytes in the
// order they go on the line: its high byte is sent first, its low byte second.
uint16_t ModbusCrc16(const uint8_t* data, int16_t count);

// Index of the first well-formed reply of `length` bytes (CRC included) from
// `address` with function code `function`, or -1. Only the first `count` bytes
// are read; a candidate whose CRC fails does not end the scan.
int16_t FindReplyFrame(const uint8_t* data, int16_t count, uint8_t function, uint8_t address,
                       int16_t length);

namespace zt {

inline constexpr uint8_t kFunctionReadHoldingRegisters = 3;
inline constexpr uint8_t kFunctionWriteSingleRegister = 6;
inline constexpr uint8_t kFunctionWriteMultipleRegisters = 16;
inline constexpr uint8_t kExceptionFlag = 0x80;

// Reply lengths, CRC included.
constexpr int16_t ReadReplyLength(uint16_t registerCount) {
  return static_cast<int16_t>(5 + 2 * registerCount);
}
inline constexpr int16_t kWriteReplyLength = 8;

// One request, built from its first byte: 8 bytes for functions 3 and 6,
// 13 for function 16.
struct TxFrame {
  static constexpr int16_t kCapacity = 13;
  std::array<uint8_t, kCapacity> bytes{};
  int16_t length = 0;

  const uint8_t* data() const { return bytes.data(); }
  std::span<const uint8_t> view() const {
    return {bytes.data(), static_cast<std::size_t>(length)};
  }
};

// Every 16-bit field of a request goes on the line high byte first; the CRC,
// appended by each builder, goes in the order ModbusCrc16 returns it.
TxFrame BuildReadRequest(uint8_t address, uint16_t firstRegister, uint16_t registerCount);
TxFrame BuildWriteSingleRequest(uint8_t address, uint16_t registerNumber, uint16_t value);
// Function 16 as this meter uses it: always two consecutive registers.
TxFrame BuildWriteTwoRegistersRequest(uint8_t address, uint16_t firstRegister, uint16_t first,
                                      uint16_t second);

// Appends the CRC of the first `length` bytes at data[length] and data[length + 1].
void AppendCrc(uint8_t* data, int16_t length);

}  // namespace zt
