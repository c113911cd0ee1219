// The MDEC bitstream's tables in the form an encoder uses them: the scan
// index and quantisation step of each position of an 8x8 block, the code of
// each (run, level) pair, the DC size codes of version 3, the escape and end
// codes and the frame header's fields. Typed here apart from korvane's
// decoder tables so that a mistake in one shows against the other
// (tests/tools/encoder_tables_test).
#pragma once

#include <cstdint>

namespace mkdisc {

constexpr int kBlockCoefficients = 64;  // 8x8, positions row-major (y * 8 + x)

// Where each position's coefficient goes in the zig-zag scan.
extern const uint8_t kScanIndexAt[kBlockCoefficients];

// Quantisation step of each position; the DC entry is not used, since DC is
// written without quantisation.
extern const uint8_t kQuantMatrix[kBlockCoefficients];

// Codes as a text of '0' and '1'. A coefficient's code is followed by its
// sign bit (0 positive, 1 negative), which the texts leave out.
//
// The code of (run, level) is kAcCodeBits[run][level - 1]; pairs without a
// code (null) take the escape.
constexpr int kAcRuns = 32;
constexpr int kAcLevels = 40;
extern const char* const kAcCodeBits[kAcRuns][kAcLevels];

// The code of (run, level), or null when the pair takes the escape.
inline const char* ac_code_bits(int run, int level) {
  if (run < 0 || run >= kAcRuns || level < 1 || level > kAcLevels) return nullptr;
  return kAcCodeBits[run][level - 1];
}

constexpr const char* kEndOfBlockCode = "10";  // no sign bit

// Escape: the code, then the run unsigned and the level in two's complement.
namespace escape {
constexpr const char* kCode = "000001";
constexpr int kRunBits = 6;
constexpr int kLevelBits = 10;
}  // namespace escape

// DC coding: version 2 writes the value itself; version 3 writes the size of
// the difference from the previous block of the same kind as a code, then
// the difference in that many bits.
namespace dc {
constexpr int kVersion2Bits = 10;  // two's complement
constexpr int kSizes = 12;         // sizes 0..11
struct SizeCode {
  const char* luminance;
  const char* chrominance;
};
extern const SizeCode kSizeCodes[kSizes];
}  // namespace dc

// The frame header: four little-endian 16-bit words before the macroblocks.
namespace frame_header {
constexpr int kBytes = 8;
constexpr int kLengthOffset = 0;   // 32-bit words of decoder input
constexpr int kMagicOffset = 2;
constexpr int kScaleOffset = 4;
constexpr int kVersionOffset = 6;
constexpr uint16_t kMagic = 0x3800;
}  // namespace frame_header

}  // namespace mkdisc
