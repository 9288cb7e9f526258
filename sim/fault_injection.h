#pragma once

#include <cstdint>
#include <vector>

#include "sim/fault_config.h"

namespace zt::sim {

// `reply` as it reaches the line when `faults` apply: exception, foreign
// address, CRC flip and truncation change the frame in that order, then the
// burst and the noise are put in front of it. Silence and delay are the
// sender's concern.
std::vector<uint8_t> ApplyReplyFaults(const FaultConfig& faults, const Request& request,
                                      std::vector<uint8_t> reply);

// `count` bytes of line noise, the same for the same seed.
std::vector<uint8_t> NoiseBytes(std::size_t count, uint32_t seed);

}  // namespace zt::sim
