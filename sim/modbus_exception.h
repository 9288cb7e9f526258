#pragma once

#include <cstdint>

namespace zt::sim {

// Exception codes a Modbus slave answers with (function code | 0x80, code).
enum class ExceptionCode : uint8_t {
  IllegalFunction = 1,
  IllegalDataAddress = 2,
  IllegalDataValue = 3,
  SlaveDeviceFailure = 4,
};

}  // namespace zt::sim
