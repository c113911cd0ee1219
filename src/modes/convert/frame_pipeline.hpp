// The per-frame stages after assembly, on the buffers of MovieContext. The
// conversion builds each picture with one call of the frame decoder
// (build_frame_picture); the staged operations do the same work frame by
// frame, stage after stage, and give the same picture.
#pragma once

#include <cstdint>

#include "format/mdec/frame_decode.hpp"

// The assembled frame into RgbPicture with the chosen conversion routines;
// a bad bitstream ends the process with -9. by_rows: the -width placement.
void build_frame_picture(bool by_rows);

// The stages one at a time.
void decode_frame_v2();
void decode_frame_v3();
void dequantise_frame();
void inverse_dct_frame();
void build_picture_by_columns();   // macroblocks down each column, columns left to right
void build_picture_by_rows();      // -width: along each row, rows top to bottom

// The conversion routines for KORVANE_SIMD (none, sse2, avx2 or avx512) or,
// without it, for the processor; a level the processor lacks, or an unknown
// value, ends the process with -12. Chosen once at start-up.
void choose_conversion_routines();
