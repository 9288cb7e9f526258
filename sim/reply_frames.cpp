#include "sim/reply_frames.h"

#include "link/modbus_rtu.h"

namespace zt::sim {

namespace {

void PushWord(std::vector<uint8_t>& frame, uint16_t word) {
  frame.push_back(static_cast<uint8_t>(word >> 8));
  frame.push_back(static_cast<uint8_t>(word & 0xFF));
}

void PushCrc(std::vector<uint8_t>& frame) {
  const uint16_t crc = ModbusCrc16(frame.data(), static_cast<int16_t>(frame.size()));
  PushWord(frame, crc);
}

}  // namespace

std::vector<uint8_t> ReadReply(uint8_t address, std::span<const uint16_t> values) {
  std::vector<uint8_t> frame{address, kFunctionReadHoldingRegisters,
                             static_cast<uint8_t>(2 * values.size())};
  for (const uint16_t value : values) {
    PushWord(frame, value);
  }
  PushCrc(frame);
  return frame;
}

std::vector<uint8_t> WriteSingleReply(uint8_t address, uint16_t registerNumber, uint16_t value) {
  std::vector<uint8_t> frame{address, kFunctionWriteSingleRegister};
  PushWord(frame, registerNumber);
  PushWord(frame, value);
  PushCrc(frame);
  return frame;
}

std::vector<uint8_t> WriteMultipleReply(uint8_t address, uint16_t firstRegister, uint16_t count) {
  std::vector<uint8_t> frame{address, kFunctionWriteMultipleRegisters};
  PushWord(frame, firstRegister);
  PushWord(frame, count);
  PushCrc(frame);
  return frame;
}

std::vector<uint8_t> ExceptionReply(uint8_t address, uint8_t function, ExceptionCode code) {
  std::vector<uint8_t> frame{address, static_cast<uint8_t>(function | kExceptionFlag),
                             static_cast<uint8_t>(code)};
  PushCrc(frame);
  return frame;
}

void ResealFrame(std::vector<uint8_t>& frame) {
  if (frame.size() < 2) {
    return;
  }
  frame.resize(frame.size() - 2);
  PushCrc(frame);
}

}  // namespace zt::sim
