// One frame of the conversion path, from its bitstream to a picture: the MDEC
// decode, then each macroblock dequantised, transformed and colour-converted
// in turn, so its samples stay in the cache. Pure: no records, no files.
//
// The transform and the colour conversion come from a routine table chosen
// once by the caller for the processor; every table gives the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/mdec/colour.hpp"
#include "format/mdec/idct.hpp"

// How far the routines may use the processor's vector instructions.
// Avx512 uses the AVX2 routines (no wider variant pays off) but asks for a
// processor with AVX-512.
enum class SimdLevel { None, Sse2, Avx2, Avx512 };

struct ConversionRoutines {
  IdctBlockFn idct = idct_block_reference;
  ColourMacroblockFn colour = colour_macroblock;
};

// The routines of a level; a level this build has no routines for falls back
// to the plain ones (SSE2 needs an x86 build with SSE2).
ConversionRoutines routines_for_level(SimdLevel level);

struct FrameParameters {
  uint32_t width = 0;        // rounded up to a multiple of 16
  uint32_t height = 0;
  uint32_t version = 2;      // 2, or 3 and above; a stored 1 is passed as 2
  uint32_t quant_scale = 0;
  bool by_rows = false;      // -width: macroblocks along each row, else down each column
};

enum class FrameStatus { kOk, kBadBitstream };

inline uint32_t frame_macroblocks(const FrameParameters& p) {
  return (p.height / kMacroblockPixels) * (p.width / kMacroblockPixels);
}

// The int16 values the caller provides as `coefficients` for a frame.
inline size_t frame_coefficient_count(const FrameParameters& p) {
  constexpr size_t kValuesPerMacroblock = 6 * 64;  // six blocks of 64 coefficients
  return static_cast<size_t>(frame_macroblocks(p)) * kValuesPerMacroblock;
}

// bitstream/size: the frame as assembled (its 8-byte frame header, then the
// coded macroblocks). picture: the top-left pixel; stride: bytes from a row
// to the row below (negative for a picture stored bottom row first); three
// bytes a pixel, blue, green, red. coefficients: frame_coefficient_count
// values of scratch. kBadBitstream leaves the picture unwritten.
FrameStatus decode_frame_rgb(const FrameParameters& params, const ConversionRoutines& routines,
                             const uint8_t* bitstream, size_t size, uint8_t* picture,
                             ptrdiff_t stride, int16_t* coefficients);

// The top-left pixel (x, y) of macroblock index in the frame's placement.
struct MacroblockOrigin {
  uint32_t x, y;
};
MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows);
