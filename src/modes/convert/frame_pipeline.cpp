#include "modes/convert/frame_pipeline.hpp"

#include <cstring>

#include "format/mdec/colour.hpp"
#include "format/mdec/dequantise.hpp"
#include "format/mdec/idct.hpp"
#include "format/mdec/mdec_decode.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "format/mdec/picture_decode.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kBlockSamples = kCoefficientsPerBlock;
constexpr size_t kMacroblockSamples = kBlocksPerMacroblock * kCoefficientsPerBlock;
constexpr uint32_t kVersion2 = 2;

void decode_frame(bool version3) {
  reserve_picture_buffers(movie.macroblock_count);
  FrameBuffers& f = movie.frame;
  if (decode_frame_bitstream(f.bitstream, f.bitstream_bytes, movie.macroblock_count, version3,
                             f.coefficients) != DecodeStatus::kOk)
    fatal_error(kErrConvert, kBadBitstreamDetail);
}

PictureShape shape_of_movie(bool by_rows) {
  return PictureShape{movie.picture_width, movie.picture_height, movie.version, movie.quant_scale, by_rows};
}

void build_picture(bool by_rows) {
  static const ColourMacroblockFn colour = conversion_colour();
  const ptrdiff_t stride_down = -static_cast<ptrdiff_t>(movie.picture_width) * kBytesPerPixel;
  for (uint32_t m = 0; m < movie.macroblock_count; ++m) {
    const MacroblockOrigin o = macroblock_origin(m, movie.picture_width, movie.picture_height, by_rows);
    colour(movie.frame.transformed + m * kMacroblockSamples,
           picture_pixel(movie.frame.picture, movie.picture_width, movie.picture_height, o.x, o.y),
           stride_down);
  }
}

}  // namespace

void decode_frame_v2() { decode_frame(false); }
void decode_frame_v3() { decode_frame(true); }

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
  picture_from_coefficients(movie.frame.coefficients, shape_of_movie(by_rows), movie.frame.picture);
}

void build_picture_by_columns() { build_picture(false); }
void build_picture_by_rows() { build_picture(true); }
