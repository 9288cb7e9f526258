#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::test {

// "01 03 00 06" to its bytes; anything but hex digits separates.
std::vector<uint8_t> Bytes(std::string_view hex);

// Bytes as upper-case hex pairs separated by single spaces.
std::string Hex(std::span<const uint8_t> bytes);

}  // namespace zt::test
