#pragma once

#include <array>
#include <cstdint>
#include <optional>
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
inline constexpr int16_t kExceptionReplyLength = 5;

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

// The reply that answers one request. Address, function, length and CRC alone
// cannot tell a late reply to an earlier request from the right one, so the
// reply must also carry the bytes its request implies right after the
// function code: the byte count of a read; the register and value of a
// function 6 write, whose confirmation is the request itself; the start
// register and count of a function 16 write.
struct ExpectedReply {
  static constexpr int16_t kMaxBody = 4;

  uint8_t function = 0;
  uint8_t address = 0;
  int16_t length = 0;
  // A second address the reply may come from: a meter taking a new address
  // may already answer from it.
  std::optional<uint8_t> otherAddress;
  std::array<uint8_t, kMaxBody> body{};
  int16_t bodyLength = 0;
  // The highest value the first register of a read reply can hold: a reply
  // with more answers some other request.
  std::optional<uint16_t> maxFirstRegister;

  // The reply to a function 3 request: its byte count is twice the count asked for.
  static ExpectedReply ReadOf(const TxFrame& request);
  // The confirmation of a function 6 or 16 request.
  static ExpectedReply EchoOf(const TxFrame& request);
};

// Index of the first well-formed reply in data[0, count) that matches
// `expected`, or -1. A candidate that fails any check does not end the scan.
int16_t FindExpectedReply(const uint8_t* data, int16_t count, const ExpectedReply& expected);

}  // namespace zt
