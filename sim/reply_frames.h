#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/modbus_exception.h"

namespace zt::sim {

// The frames a Modbus slave answers with, each closed by its CRC in line
// order. Register values go high byte first.
std::vector<uint8_t> ReadReply(uint8_t address, std::span<const uint16_t> values);
std::vector<uint8_t> WriteSingleReply(uint8_t address, uint16_t registerNumber, uint16_t value);
std::vector<uint8_t> WriteMultipleReply(uint8_t address, uint16_t firstRegister, uint16_t count);
std::vector<uint8_t> ExceptionReply(uint8_t address, uint8_t function, ExceptionCode code);

// Recomputes the CRC of a frame whose leading bytes were changed.
void ResealFrame(std::vector<uint8_t>& frame);

}  // namespace zt::sim
