// Test helper: a bitstream written as text ("0000000101 10", spaces ignored)
// packed into 16-bit little-endian words, first bit at the top of each word.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline std::vector<uint8_t> pack_bits(const std::string& text) {
  std::vector<uint8_t> bytes;
  uint32_t word = 0;
  int filled = 0;
  for (char c : text) {
    if (c != '0' && c != '1') continue;
    word = (word << 1) | static_cast<uint32_t>(c - '0');
    if (++filled == 16) {
      bytes.push_back(static_cast<uint8_t>(word));
      bytes.push_back(static_cast<uint8_t>(word >> 8));
      word = 0;
      filled = 0;
    }
  }
  if (filled != 0) {
    word <<= 16 - filled;
    bytes.push_back(static_cast<uint8_t>(word));
    bytes.push_back(static_cast<uint8_t>(word >> 8));
  }
  return bytes;
}

// n bits of v as text.
inline std::string bits_of(uint32_t v, int n) {
  std::string s;
  for (int i = n - 1; i >= 0; --i) s += ((v >> i) & 1) ? '1' : '0';
  return s;
}
