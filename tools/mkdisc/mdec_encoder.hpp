// MDEC frame encoding: RGB picture to frame bitstream (8-byte frame header
// and the coded macroblocks, column by column), version 2 or 3.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/mkdisc/colour.hpp"
#include "tools/mkdisc/picture.hpp"

namespace mkdisc {

struct EncodeOptions {
  int version = 2;        // 2: 10-bit DC; 3: DC differences with size codes
  int scale = 8;          // quantisation scale 1..63 (written as 16 bits)
  ColourConvention colour = ColourConvention::korvane;
};

// Coefficients of one block in scan order, as the decoder stores them before
// dequantisation (index 0 is the DC value, or for version 3 its value before
// the difference coding).
using CoefficientBlock = std::array<int16_t, 64>;

// The blocks of a frame in bitstream order (6 per macroblock, macroblocks
// column by column). The frame's size must be a multiple of 16.
std::vector<CoefficientBlock> quantise_frame(const RgbFrame& padded, const EncodeOptions& options);

// Entropy-codes blocks into a whole frame bitstream with its header.
std::vector<uint8_t> code_frame(const std::vector<CoefficientBlock>& blocks, const EncodeOptions& options);

// Both steps; frames of any size are padded to whole macroblocks first.
std::vector<uint8_t> encode_frame(const RgbFrame& frame, const EncodeOptions& options);

// Throws Error when the options cannot be encoded (version, scale).
void check_encode_options(const EncodeOptions& options);

}  // namespace mkdisc
