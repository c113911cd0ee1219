// The frame stages of the conversion on MovieContext's buffers, and the
// one-time choice of the conversion routines.
#include "modes/convert/frame_pipeline.hpp"

#include <cstring>

#include "base/messages.hpp"
#include "base/text_parsing.hpp"
#include "format/mdec/dequantise.hpp"
#include "format/mdec/mdec_decode.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "platform/cpu_features.hpp"
#include "platform/environment.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kBlockSamples = kCoefficientsPerBlock;
constexpr size_t kMacroblockSamples = kBlocksPerMacroblock * kCoefficientsPerBlock;
constexpr uint32_t kVersion2 = 2;

using DecodeFn = DecodeStatus (*)(const uint8_t*, size_t, uint32_t, int16_t*);

[[noreturn]] void bad_bitstream() { fatal_error(kErrConvert, message_text(Msg::BitstreamInvalid)); }

void decode_frame(DecodeFn decode) {
  reserve_picture_buffers(movie.macroblock_count);
  FrameBuffers& f = movie.frame;
  std::memset(f.coefficients, 0, movie.macroblock_count * kMacroblockSamples * sizeof(int16_t));
  const size_t size = f.bitstream_bytes > kFrameHeaderBytes ? f.bitstream_bytes - kFrameHeaderBytes : 0;
  if (decode(f.bitstream + kFrameHeaderBytes, size, movie.macroblock_count, f.coefficients) !=
      DecodeStatus::kOk)
    bad_bitstream();
}

// RgbPicture is kept bottom row first, the order in which both writers
// store it, so each picture goes out as one block.
uint8_t* pixel_of(uint32_t x, uint32_t y) {
  const size_t row_bytes = static_cast<size_t>(movie.picture_width) * kBytesPerPixel;
  return movie.frame.picture + (movie.picture_height - 1 - y) * row_bytes + static_cast<size_t>(x) * kBytesPerPixel;
}

ptrdiff_t stride_down() { return -static_cast<ptrdiff_t>(movie.picture_width) * kBytesPerPixel; }

void build_picture(bool by_rows) {
  for (uint32_t m = 0; m < movie.macroblock_count; ++m) {
    const MacroblockOrigin o = macroblock_origin(m, movie.picture_width, movie.picture_height, by_rows);
    conversion_routines.colour(movie.frame.transformed + m * kMacroblockSamples, pixel_of(o.x, o.y),
                               stride_down());
  }
}

struct NamedLevel {
  const char* keyword;  // KORVANE_SIMD's value in upper case (any case is taken)
  SimdLevel level;
};
constexpr NamedLevel kSimdLevels[] = {
    {"NONE", SimdLevel::None},
    {"SSE2", SimdLevel::Sse2},
    {"AVX2", SimdLevel::Avx2},
    {"AVX512", SimdLevel::Avx512},
};

bool processor_has(SimdLevel level) {
  const CpuFeatures& cpu = cpu_features();
  switch (level) {
    case SimdLevel::None: return true;
    case SimdLevel::Sse2: return cpu.sse2;
    case SimdLevel::Avx2: return cpu.avx && cpu.avx2;
    case SimdLevel::Avx512: return cpu.avx && cpu.avx2 && cpu.avx512;
  }
  return false;
}

SimdLevel best_level() {
  SimdLevel best = SimdLevel::None;
  for (const NamedLevel& named : kSimdLevels)
    if (processor_has(named.level)) best = named.level;
  return best;
}

}  // namespace

void choose_conversion_routines() {
  const char* wanted = environment_value("KORVANE_SIMD");
  if (wanted == nullptr || wanted[0] == '\0') {
    conversion_routines = routines_for_level(best_level());
    return;
  }
  for (const NamedLevel& named : kSimdLevels) {
    const char* cursor = wanted;
    if (!match_keyword(cursor, '\0', named.keyword)) continue;
    if (!processor_has(named.level))
      fatal_error(kErrSettings, message_text(Msg::SimdMissing));
    conversion_routines = routines_for_level(named.level);
    return;
  }
  fatal_error(kErrSettings, message_text(Msg::SimdUnknown));
}

void build_frame_picture(bool by_rows) {
  reserve_picture_buffers(movie.macroblock_count);
  FrameBuffers& f = movie.frame;
  FrameParameters params;
  params.width = movie.picture_width;
  params.height = movie.picture_height;
  params.version = movie.version;
  params.quant_scale = movie.quant_scale;
  params.by_rows = by_rows;
  if (decode_frame_rgb(params, conversion_routines, f.bitstream, f.bitstream_bytes, pixel_of(0, 0),
                       stride_down(), f.coefficients) != FrameStatus::kOk)
    bad_bitstream();
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
  reserve_stage_buffers();
  FrameBuffers& f = movie.frame;
  const size_t blocks = static_cast<size_t>(movie.macroblock_count) * kBlocksPerMacroblock;
  for (size_t b = 0; b < blocks; ++b)
    conversion_routines.idct(f.dequantised + b * kBlockSamples, f.transformed + b * kBlockSamples);
}

void build_picture_by_columns() { build_picture(false); }
void build_picture_by_rows() { build_picture(true); }
