#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::sim::test {

// "01 03 00 06" to its bytes; anything but hex digits separates.
inline std::vector<uint8_t> Bytes(std::string_view hex) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (const char c : hex) {
    int digit = -1;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    }
    if (digit < 0) {
      continue;
    }
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  return bytes;
}

inline std::string Hex(std::span<const uint8_t> bytes) {
  std::string text;
  char cell[4];
  for (const uint8_t byte : bytes) {
    std::snprintf(cell, sizeof cell, "%02X ", byte);
    text += cell;
  }
  if (!text.empty()) {
    text.pop_back();
  }
  return text;
}

}  // namespace zt::sim::test
