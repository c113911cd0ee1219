#include "modes/convert/frame_pipeline.hpp"

#include <cstring>

#include "base/messages.hpp"
#include "format/mdec/colour.hpp"
#include "format/mdec/dequantise.hpp"
#include "format/mdec/idct.hpp"
#include "format/mdec/mdec_decode.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kBlockSamples = kCoefficientsPerBlock;
constexpr size_t kMacroblockSamples = kBlocksPerMacroblock * kCoefficientsPerBlock;
constexpr uint32_t kVersion2 = 2;

using DecodeFn = DecodeStatus (*)(const uint8_t*, size_t, uint32_t, int16_t*);

void decode_frame(DecodeFn decode) {
  reserve_picture_buffers(movie.macroblock_count);
  FrameBuffers& f = movie.frame;
  std::memset(f.coefficients, 0, movie.macroblock_count * kMacroblockSamples * sizeof(int16_t));
  const size_t size = f.bitstream_bytes > kFrameHeaderBytes ? f.bitstream_bytes - kFrameHeaderBytes : 0;
  if (decode(f.bitstream + kFrameHeaderBytes, size, movie.macroblock_count, f.coefficients) !=
      DecodeStatus::kOk)
    fatal_error(kErrConvert, message_text(Msg::BitstreamInvalid));
}

// RgbPicture is kept bottom row first, the order in which both writers
// store it, so each picture goes out as one block.
uint8_t* pixel_of(uint32_t x, uint32_t y) {
  const size_t row_bytes = static_cast<size_t>(movie.picture_width) * kBytesPerPixel;
  return movie.frame.picture + (movie.picture_height - 1 - y) * row_bytes + static_cast<size_t>(x) * kBytesPerPixel;
}

ptrdiff_t stride_down() { return -static_cast<ptrdiff_t>(movie.picture_width) * kBytesPerPixel; }

void build_picture(bool by_rows) {
  static const ColourMacroblockFn colour = conversion_colour();
  for (uint32_t m = 0; m < movie.macroblock_count; ++m) {
    const MacroblockOrigin o = macroblock_origin(m, movie.picture_width, movie.picture_height, by_rows);
    colour(movie.frame.transformed + m * kMacroblockSamples, pixel_of(o.x, o.y), stride_down());
  }
}

}  // namespace

MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows) {
  const uint32_t columns = width / kMacroblockPixels;
  const uint32_t rows = height / kMacroblockPixels;
  if (by_rows) return {(index % columns) * kMacroblockPixels, (index / columns) * kMacroblockPixels};
  return {(index / rows) * kMacroblockPixels, (index % rows) * kMacroblockPixels};
}

void decode_frame_v2() { decode_frame(decode_v2); }
void decode_frame_v3() { decode_frame(decode_v3); }

void dequantise_frame() {
  reserve_stage_buffers();
  FrameBuffers& f = movie.frame;
  const bool dc_times_four = movie.version != kVersion2;
  const size_t blocks = static_cast<size_t>(movie.macroblock_count) * kBlocksPerMacroblock;
  for (size_t b = 0; b < blocks; ++b)
    dequantise_block(f.coefficients + b * kBlockSamples, f.dequantised + b * kBlockSamples,
                     dc_times_four, movie.quant_scale);
}

void inverse_dct_frame() {
  static const IdctBlockFn transform = conversion_idct();
  reserve_stage_buffers();
  FrameBuffers& f = movie.frame;
  const size_t blocks = static_cast<size_t>(movie.macroblock_count) * kBlocksPerMacroblock;
  for (size_t b = 0; b < blocks; ++b)
    transform(f.dequantised + b * kBlockSamples, f.transformed + b * kBlockSamples);
}

void build_picture_from_coefficients(bool by_rows) {
  static const IdctBlockFn transform = conversion_idct();
  static const ColourMacroblockFn colour = conversion_colour();
  FrameBuffers& f = movie.frame;
  const bool dc_times_four = movie.version != kVersion2;
  alignas(64) int16_t dequantised[kMacroblockSamples];
  alignas(64) double samples[kMacroblockSamples];
  for (uint32_t m = 0; m < movie.macroblock_count; ++m) {
    const int16_t* coefficients = f.coefficients + m * kMacroblockSamples;
    for (int b = 0; b < kBlocksPerMacroblock; ++b) {
      dequantise_block(coefficients + b * kBlockSamples, dequantised + b * kBlockSamples, dc_times_four,
                       movie.quant_scale);
      transform(dequantised + b * kBlockSamples, samples + b * kBlockSamples);
    }
    const MacroblockOrigin o = macroblock_origin(m, movie.picture_width, movie.picture_height, by_rows);
    colour(samples, pixel_of(o.x, o.y), stride_down());
  }
}

void build_picture_by_columns() { build_picture(false); }
void build_picture_by_rows() { build_picture(true); }
