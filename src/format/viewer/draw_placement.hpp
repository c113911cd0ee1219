// Where the drawings put things: macroblocks column by column (left to
// right, each column top to bottom), and the four quarters of a macroblock
// with the luminance block and the part of the chroma blocks each uses.
#pragma once

#include <cstdint>

#include "format/viewer/routine_table.hpp"

constexpr int kBlockSide = 8;
constexpr int kBlocksInMacroblock = 6;
constexpr int kMacroblockSide = 16;
constexpr int kChromaBlockA = 0;
constexpr int kChromaBlockB = 1;
constexpr int kFirstLumaBlock = 2;  // then top-right, bottom-left, bottom-right

// Calls draw(origin) for every macroblock in bitstream order, with origin
// its top-left pixel on a surface drawn at scale times the picture size.
template <typename Draw>
void for_each_macroblock(uint32_t mb_columns, uint32_t mb_rows, const Surface& surface,
                         int scale, Draw draw) {
  const int32_t side = kMacroblockSide * scale;
  for (uint32_t i = 0; i < mb_columns; ++i) {
    for (uint32_t j = 0; j < mb_rows; ++j) {
      uint8_t* origin = surface.pixels + static_cast<int64_t>(j) * side * surface.pitch +
                        static_cast<int64_t>(i) * side * surface.bytes_per_pixel;
      draw(origin);
    }
  }
}

// The four quarters of one macroblock of blocks kSide x kStride samples
// (kSide 8, or 16 for the filter): quarter q uses luminance block 2 + q and
// the chroma part kSide / 2 samples square at its corner of blocks A and B.
template <int kSide, int kStride, typename T, typename Convert>
void draw_quarters(const T* macroblock, uint8_t* origin, const Surface& surface, int scale,
                   Convert convert) {
  constexpr int kBlockSamples = kSide * kStride;
  const T* a = macroblock + kChromaBlockA * kBlockSamples;
  const T* b = macroblock + kChromaBlockB * kBlockSamples;
  const int32_t quarter = kBlockSide * scale;  // pixels
  for (int q = 0; q < 4; ++q) {
    const int right = q & 1;
    const int down = q >> 1;
    const int chroma_offset = down * (kSide / 2) * kStride + right * (kSide / 2);
    uint8_t* dest = origin + static_cast<int64_t>(down) * quarter * surface.pitch +
                    static_cast<int64_t>(right) * quarter * surface.bytes_per_pixel;
    convert(macroblock + (kFirstLumaBlock + q) * kBlockSamples, a + chroma_offset,
            b + chroma_offset, dest);
  }
}
