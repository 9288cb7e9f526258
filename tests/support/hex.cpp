#include "hex.h"

#include <cstdio>

namespace zt::test {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::vector<uint8_t> Bytes(std::string_view hex) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (const char c : hex) {
    const int digit = HexDigit(c);
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

std::string Hex(std::span<const uint8_t> bytes) {
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

}  // namespace zt::test
