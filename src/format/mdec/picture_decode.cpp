// The per-frame picture kernel: the bitstream decoded, then macroblock by
// macroblock dequantised, transformed and converted to colour.
#include "format/mdec/picture_decode.hpp"

#include <cstring>

#include "format/mdec/colour.hpp"
#include "format/mdec/dequantise.hpp"
#include "format/mdec/idct.hpp"
#include "format/mdec/mdec_tables.hpp"

namespace {

constexpr size_t kBlockSamples = kCoefficientsPerBlock;
constexpr uint32_t kVersion2 = 2;
static_assert(kSamplesPerMacroblock == kBlocksPerMacroblock * kCoefficientsPerBlock);

}  // namespace

uint32_t picture_macroblocks(const PictureShape& shape) {
  return (shape.height / kMacroblockPixels) * (shape.width / kMacroblockPixels);
}

DecodeStatus decode_frame_bitstream(const uint8_t* bitstream, size_t bytes, uint32_t macroblocks,
                                    bool version3, int16_t* coefficients) {
  std::memset(coefficients, 0, macroblocks * kSamplesPerMacroblock * sizeof(int16_t));
  const size_t size = bytes > kFrameHeaderBytes ? bytes - kFrameHeaderBytes : 0;
  const auto decode = version3 ? decode_v3 : decode_v2;
  return decode(bitstream + kFrameHeaderBytes, size, macroblocks, coefficients);
}

void picture_from_coefficients(const int16_t* coefficients, const PictureShape& shape, uint8_t* picture) {
  static const IdctBlockFn transform = conversion_idct();
  static const ColourMacroblockFn colour = conversion_colour();
  const bool dc_times_four = shape.version != kVersion2;
  const ptrdiff_t stride_down = -static_cast<ptrdiff_t>(shape.width) * kBytesPerPixel;
  alignas(64) int16_t dequantised[kSamplesPerMacroblock];
  alignas(64) double samples[kSamplesPerMacroblock];
  const uint32_t macroblocks = picture_macroblocks(shape);
  for (uint32_t m = 0; m < macroblocks; ++m) {
    const int16_t* blocks = coefficients + m * kSamplesPerMacroblock;
    for (int b = 0; b < kBlocksPerMacroblock; ++b) {
      dequantise_block(blocks + b * kBlockSamples, dequantised + b * kBlockSamples, dc_times_four,
                       shape.quant_scale);
      transform(dequantised + b * kBlockSamples, samples + b * kBlockSamples);
    }
    const MacroblockOrigin o = macroblock_origin(m, shape.width, shape.height, shape.by_rows);
    colour(samples, picture_pixel(picture, shape.width, shape.height, o.x, o.y), stride_down);
  }
}

MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows) {
  const uint32_t columns = width / kMacroblockPixels;
  const uint32_t rows = height / kMacroblockPixels;
  if (by_rows) return {(index % columns) * kMacroblockPixels, (index / columns) * kMacroblockPixels};
  return {(index / rows) * kMacroblockPixels, (index % rows) * kMacroblockPixels};
}

uint8_t* picture_pixel(uint8_t* picture, uint32_t width, uint32_t height, uint32_t x, uint32_t y) {
  const size_t row_bytes = static_cast<size_t>(width) * kBytesPerPixel;
  return picture + (height - 1 - y) * row_bytes + static_cast<size_t>(x) * kBytesPerPixel;
}
