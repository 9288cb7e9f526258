#include "sim/fault_injection.h"

#include <algorithm>

#include "link/modbus_rtu.h"
#include "sim/reply_frames.h"

namespace zt::sim {

std::function<bool(const Request&)> TouchingRegisters(uint16_t first, uint16_t last) {
  return [first, last](const Request& request) {
    // A write of one register covers one; reads and function 16 cover `word`.
    const uint32_t count = request.function == kFunctionWriteSingleRegister
                               ? 1U
                               : std::max<uint32_t>(request.word, 1U);
    const uint32_t begin = request.first;
    const uint32_t end = begin + count - 1;
    return begin <= last && end >= first;
  };
}

std::vector<uint8_t> NoiseBytes(std::size_t count, uint32_t seed) {
  std::vector<uint8_t> noise(count);
  uint32_t state = seed == 0 ? 1 : seed;
  for (uint8_t& byte : noise) {
    // xorshift32: cheap, and repeatable from the seed
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return noise;
}

std::vector<uint8_t> ApplyReplyFaults(const FaultConfig& faults, const Request& request,
                                      std::vector<uint8_t> reply) {
  if (faults.exceptionReply) {
    reply = ExceptionReply(request.address, request.function, faults.exceptionCode);
  }
  if (faults.foreignAddress && !reply.empty()) {
    reply[0] = static_cast<uint8_t>(reply[0] + 1);
    ResealFrame(reply);
  }
  if (faults.flipCrcBit && !reply.empty()) {
    reply.back() ^= 0x01;
  }
  reply.resize(reply.size() - std::min(faults.truncateBytes, reply.size()));

  std::vector<uint8_t> line;
  if (faults.burst) {
    line = NoiseBytes(faults.burstBytes, faults.noiseSeed ^ 0x9E3779B9U);
  }
  const std::vector<uint8_t> noise = NoiseBytes(faults.noiseBytes, faults.noiseSeed);
  line.insert(line.end(), noise.begin(), noise.end());
  line.insert(line.end(), reply.begin(), reply.end());
  return line;
}

}  // namespace zt::sim
