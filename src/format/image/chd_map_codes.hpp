// The prefix code of the CHD hunk map's compression types: 16 symbols of up
// to 8 bits whose lengths are sent run-length coded, codes assigned
// canonically with the longest codes numbered first.
#pragma once

#include <array>
#include <cstdint>

#include "format/image/chd_bits.hpp"

constexpr int kMapSymbols = 16;
constexpr int kMapCodeBits = 8;

struct ChdMapCodes {
  // Indexed by the next kMapCodeBits bits: symbol << 4 | code length; 0 where no code starts.
  std::array<uint16_t, 1 << kMapCodeBits> lookup{};
};

// Reads the code lengths and builds the lookup; false when the lengths do
// not form a prefix code.
bool read_map_codes(ChdBits& bits, ChdMapCodes* codes);

// The next symbol, or -1 when the bits start no code.
int read_map_symbol(ChdBits& bits, const ChdMapCodes& codes);
