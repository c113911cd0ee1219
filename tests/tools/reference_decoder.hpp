// A small, slow, independent MDEC decoder for the synthesiser's tests,
// written from the format's description: bit reader over 16-bit words,
// code matching by text, dequantisation, the two-pass double IDCT and
// korvane's colour conversion. Also PSNR/SNR helpers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/mkdisc/picture.hpp"

namespace reference {

using Block = std::array<int16_t, 64>;  // scan order

// Decodes the coefficient blocks of a frame bitstream (header included).
std::vector<Block> decode_blocks(const std::vector<uint8_t>& bitstream, int width, int height);

// The whole conversion to RGB (R, G, B order) at the rounded picture size.
mkdisc::RgbFrame decode_picture(const std::vector<uint8_t>& bitstream, int width, int height);

// PSNR of b against a over a's size (b may be larger), all channels.
double psnr(const mkdisc::RgbFrame& a, const mkdisc::RgbFrame& b);
double snr_db(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded);

}  // namespace reference
