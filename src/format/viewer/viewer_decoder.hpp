// The viewer's MDEC decoders and dequantiser. The decoders write scan-order
// blocks one block into the coefficient buffer, with the DC scaled for the
// integer transforms; the dequantiser moves each block back by one and
// places it row-major, multiplied by the quantisation table and scale.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/mdec/mdec_decode.hpp"

// data/size: the coded macroblocks (the slot's bitstream after the 8-byte
// frame header); out: macroblocks x 6 blocks, zeroed here first.
DecodeStatus viewer_decode_v2(const uint8_t* data, size_t size, uint32_t macroblocks,
                              int16_t* out);
DecodeStatus viewer_decode_v3(const uint8_t* data, size_t size, uint32_t macroblocks,
                              int16_t* out);

// buffer: block_count + 1 blocks; block b + 1 (scan order) becomes block b
// (row-major). Products are 32-bit, stored as their low 16 bits.
void viewer_dequantise(int16_t* buffer, uint32_t block_count, uint32_t scale);
