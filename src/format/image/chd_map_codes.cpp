// Reading the map's prefix code: lengths in 4-bit fields, where 1 escapes
// (1 1: a length of 1; 1 n r: length n repeated r + 3 times).
#include "format/image/chd_map_codes.hpp"

namespace {
constexpr int kLengthFieldBits = 4;
constexpr int kEscape = 1;
constexpr int kShortestRun = 3;
constexpr int kLengthMask = 0x0F;
constexpr int kLongestLength = 32;
}  // namespace

bool read_map_codes(ChdBits& bits, ChdMapCodes* codes) {
  std::array<int, kMapSymbols> lengths{};
  int symbol = 0;
  while (symbol < kMapSymbols) {
    int length = static_cast<int>(bits.read(kLengthFieldBits));
    if (length != kEscape) {
      lengths[symbol++] = length;
      continue;
    }
    length = static_cast<int>(bits.read(kLengthFieldBits));
    if (length == kEscape) {
      lengths[symbol++] = length;
      continue;
    }
    const int run = static_cast<int>(bits.read(kLengthFieldBits)) + kShortestRun;
    if (symbol + run > kMapSymbols) return false;
    for (int i = 0; i < run; ++i) lengths[symbol++] = length;
  }
  // Starting codes per length, from the longest codes down; every length
  // but 1 must use an even number of code points.
  std::array<uint32_t, kLongestLength + 1> start{};
  for (int length : lengths) {
    if (length > kMapCodeBits) return false;
    ++start[length];
  }
  uint32_t next = 0;
  for (int length = kLongestLength; length > 0; --length) {
    const uint32_t total = next + start[length];
    if (length != 1 && (total & 1) != 0) return false;
    start[length] = next;
    next = total >> 1;
  }
  codes->lookup.fill(0);
  for (int s = 0; s < kMapSymbols; ++s) {
    const int length = lengths[s];
    if (length == 0) continue;
    const uint32_t code = start[length]++;
    const int shift = kMapCodeBits - length;
    const uint32_t first = code << shift;
    const uint32_t last = ((code + 1) << shift) - 1;
    if (last >= codes->lookup.size()) return false;
    for (uint32_t i = first; i <= last; ++i)
      codes->lookup[i] = static_cast<uint16_t>(s << 4 | length);
  }
  return !bits.overrun();
}

int read_map_symbol(ChdBits& bits, const ChdMapCodes& codes) {
  const uint16_t entry = codes.lookup[bits.peek(kMapCodeBits)];
  if (entry == 0) return -1;
  bits.skip(entry & kLengthMask);
  return entry >> 4;
}
