// The code tables of the MDEC bitstream, written once as data: the zig-zag
// scan, the quantisation table, the AC run/level codes (MPEG-1 intra DCT
// coefficient codes) and the DC size codes of version 3 (MPEG-2 DC size
// codes). Decoders and the test-disc encoder derive their lookup structures
// from these.
#pragma once

#include <cstdint>

// Scan index to row-major position (y * 8 + x).
extern const uint8_t kZigzag[64];

// Quantisation table by scan index; entry 0 (DC) is not used.
extern const uint8_t kQuantTable[64];

// One run/level code: the bits of the code as a text of '0' and '1', without
// the sign bit that follows it in the stream (0 positive, 1 negative).
struct AcCode {
  const char* bits;
  uint8_t run;
  uint8_t level;
};
constexpr int kAcCodeCount = 111;
extern const AcCode kAcCodes[kAcCodeCount];

// Codes without a sign bit.
constexpr const char* kEndOfBlockBits = "10";
constexpr const char* kEscapeBits = "000001";
constexpr int kEscapeRunBits = 6;     // unsigned run after the escape
constexpr int kEscapeLevelBits = 10;  // two's complement level after the escape
constexpr int kDcBitsV2 = 10;         // two's complement DC of version 2

// Version 3 DC size codes, indexed by size 0..11.
constexpr int kDcSizeCount = 12;
extern const char* const kDcSizeLuminanceBits[kDcSizeCount];
extern const char* const kDcSizeChrominanceBits[kDcSizeCount];

// Frame header: four 16-bit words before the coded macroblocks.
constexpr int kFrameHeaderBytes = 8;
constexpr int kFrameHeaderScaleOffset = 4;
constexpr int kFrameHeaderVersionOffset = 6;
constexpr uint16_t kFrameHeaderMagic = 0x3800;  // second word; decoders do not read it

// Blocks of a macroblock: two chroma, then four luminance.
constexpr int kBlocksPerMacroblock = 6;
constexpr int kCoefficientsPerBlock = 64;
