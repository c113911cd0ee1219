// The encoder's own view of the MDEC bitstream: the scan order, the
// quantisation weights, the run/level codes (MPEG-1 intra DCT coefficient
// codes, listed by run as the MPEG-1 standard lists them), the version 3 DC
// size codes and the frame header layout. Kept apart from the decoder's
// tables so that a mistake in one is caught by the other.
#pragma once

#include <array>
#include <cstdint>

namespace mkdisc {

constexpr int kBlockCoefficients = 64;
constexpr int kMacroblockBlocks = 6;  // two chroma, four luminance

// Scan index to row-major position (y * 8 + x), the JPEG/MPEG zig-zag.
const std::array<uint8_t, kBlockCoefficients>& zigzag_order();

// Quantisation weight of each scan index (index 0, the DC, is not used).
const std::array<uint8_t, kBlockCoefficients>& quantisation_weights();

// The code of run/level (level > 0) without its sign bit, or nullptr when the
// pair has no code of its own and needs the escape.
const char* run_level_code(int run, int level);

constexpr const char* kCodeEndOfBlock = "10";
constexpr const char* kCodeEscape = "000001";
constexpr int kEscapeRunWidth = 6;     // unsigned
constexpr int kEscapeLevelWidth = 10;  // two's complement
constexpr int kDcWidthV2 = 10;         // two's complement DC of version 2

// Version 3 DC size codes by size 0..11.
constexpr int kDcSizes = 12;
const char* dc_size_code(int size, bool chroma);

// Frame header: four 16-bit words before the coded macroblocks.
constexpr int kFrameHeaderSize = 8;
constexpr int kFrameHeaderScaleAt = 4;
constexpr int kFrameHeaderVersionAt = 6;
constexpr uint16_t kFrameHeaderSecondWord = 0x3800;

}  // namespace mkdisc
