// The per-frame stages after assembly, on the buffers of MovieContext:
// decoding into coefficient blocks, then dequantisation, the inverse DCT and
// the picture built from the macroblocks with the colour conversion. The
// conversion runs the last three a macroblock at a time, so its samples stay
// in the cache (build_picture_from_coefficients); the staged operations do
// the same work frame by frame and give the same picture.
#pragma once

#include <cstdint>

#include "format/mdec/picture_decode.hpp"  // macroblock_origin, the placement

// The detail of a frame whose bitstream cannot be decoded.
inline constexpr char kBadBitstreamDetail[] = "ビットストリームデータが異常です.\n";

void decode_frame_v2();
void decode_frame_v3();
void dequantise_frame();
void inverse_dct_frame();
void build_picture_by_columns();   // macroblocks down each column, columns left to right
void build_picture_by_rows();      // -width: along each row, rows top to bottom
// Dequantisation, transform and colour of each macroblock in turn, straight
// from CoefficientBlocks into RgbPicture; by_rows: the -width placement.
void build_picture_from_coefficients(bool by_rows);
