// The per-frame stages after assembly, each on the buffers of MovieContext:
// decoding into coefficient blocks, dequantisation, the inverse DCT, and the
// picture built from the macroblocks with the colour conversion.
#pragma once

#include <cstdint>

void decode_frame_v2();
void decode_frame_v3();
void dequantise_frame();
void inverse_dct_frame();
void build_picture_by_columns();   // macroblocks down each column, columns left to right
void build_picture_by_rows();      // -width: along each row, rows top to bottom

// Kernel of the placement: the top-left pixel (x, y) of macroblock index.
struct MacroblockOrigin {
  uint32_t x, y;
};
MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows);
