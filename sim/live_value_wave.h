#pragma once

#include <array>
#include <cstdint>

namespace zt::sim {

// Offsets added to the meter's base reading, one step per read of register
// 0x0000: a slow wave, so that successive polls show a moving but repeatable
// value.
inline constexpr std::array<int16_t, 16> kLiveValueWave = {
    0, 38, 71, 92, 100, 92, 71, 38, 0, -38, -71, -92, -100, -92, -71, -38,
};

}  // namespace zt::sim
