// One frame's picture from its bitstream, with everything explicit: the coded
// macroblocks decoded into coefficient blocks, then each macroblock
// dequantised, transformed and converted to colour straight into an
// RgbPicture kept bottom row first (the order both writers store), so a
// macroblock's samples stay in the cache. Frames are independent of each
// other, so any number of them may be decoded at once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/mdec/mdec_decode.hpp"

// What a frame's header says about its picture, and where macroblocks go.
struct PictureShape {
  uint32_t width = 0;        // rounded up to a multiple of 16
  uint32_t height = 0;
  uint32_t version = 0;      // 1 already stored as 2; above 2 decodes as version 3
  uint32_t quant_scale = 0;
  bool by_rows = false;      // -width: macroblocks along each row
};

constexpr size_t kSamplesPerMacroblock = 6 * 64;  // six blocks of 64 coefficients

uint32_t picture_macroblocks(const PictureShape& shape);

// The coded macroblocks after the frame header of bitstream (bytes long)
// into coefficients (macroblocks x 384 values, zero-filled here).
DecodeStatus decode_frame_bitstream(const uint8_t* bitstream, size_t bytes, uint32_t macroblocks,
                                    bool version3, int16_t* coefficients);

// Dequantisation, transform and colour of every macroblock in turn, from
// coefficients into picture (width x height x 3 bytes).
void picture_from_coefficients(const int16_t* coefficients, const PictureShape& shape, uint8_t* picture);

// The top-left pixel (x, y) of macroblock index: down each column, columns
// left to right, or (by_rows) along each row, rows top to bottom.
struct MacroblockOrigin {
  uint32_t x, y;
};
MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows);

// Pixel (x, y), y from the top, of a bottom-row-first picture.
uint8_t* picture_pixel(uint8_t* picture, uint32_t width, uint32_t height, uint32_t x, uint32_t y);
