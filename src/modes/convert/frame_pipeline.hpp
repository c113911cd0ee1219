// The per-frame stages after assembly, on the buffers of MovieContext:
// decoding into coefficient blocks, then dequantisation, the inverse DCT and
// the picture built from the macroblocks with the colour conversion. The
// conversion runs the last three a macroblock at a time, so its samples stay
// in the cache (build_picture_from_coefficients); the staged operations do
// the same work frame by frame and give the same picture.
#pragma once

#include <cstdint>

void decode_frame_v2();
void decode_frame_v3();
void dequantise_frame();
void inverse_dct_frame();
void build_picture_by_columns();   // macroblocks down each column, columns left to right
void build_picture_by_rows();      // -width: along each row, rows top to bottom
// Dequantisation, transform and colour of each macroblock in turn, straight
// from CoefficientBlocks into RgbPicture; by_rows: the -width placement.
void build_picture_from_coefficients(bool by_rows);

// Kernel of the placement: the top-left pixel (x, y) of macroblock index.
struct MacroblockOrigin {
  uint32_t x, y;
};
MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows);
