// The frame decoder of the conversion path and its routine tables.
#include "format/mdec/frame_decode.hpp"

#include <cstring>

#include "format/mdec/dequantise.hpp"
#include "format/mdec/mdec_decode.hpp"
#include "format/mdec/mdec_tables.hpp"

namespace {

constexpr size_t kBlockSamples = kCoefficientsPerBlock;
constexpr size_t kMacroblockSamples = kBlocksPerMacroblock * kCoefficientsPerBlock;
constexpr uint32_t kVersion2 = 2;

}  // namespace

ConversionRoutines routines_for_level(SimdLevel level) {
  ConversionRoutines routines;
#if defined(__SSE2__)
  if (level >= SimdLevel::Sse2) routines = {idct_block_sse2, colour_macroblock_sse2};
#endif
  if (level >= SimdLevel::Avx2) routines = {idct_block_avx, colour_macroblock_avx2};
  return routines;
}

MacroblockOrigin macroblock_origin(uint32_t index, uint32_t width, uint32_t height, bool by_rows) {
  const uint32_t columns = width / kMacroblockPixels;
  const uint32_t rows = height / kMacroblockPixels;
  if (by_rows) return {(index % columns) * kMacroblockPixels, (index / columns) * kMacroblockPixels};
  return {(index / rows) * kMacroblockPixels, (index % rows) * kMacroblockPixels};
}

FrameStatus decode_frame_rgb(const FrameParameters& p, const ConversionRoutines& routines,
                             const uint8_t* bitstream, size_t size, uint8_t* picture,
                             ptrdiff_t stride, int16_t* coefficients) {
  const uint32_t macroblocks = frame_macroblocks(p);
  std::memset(coefficients, 0, frame_coefficient_count(p) * sizeof(int16_t));
  const size_t coded = size > kFrameHeaderBytes ? size - kFrameHeaderBytes : 0;
  const auto decode = p.version > kVersion2 ? decode_v3 : decode_v2;
  if (decode(bitstream + kFrameHeaderBytes, coded, macroblocks, coefficients) != DecodeStatus::kOk)
    return FrameStatus::kBadBitstream;

  const bool dc_times_four = p.version != kVersion2;
  alignas(64) int16_t dequantised[kMacroblockSamples];
  alignas(64) double samples[kMacroblockSamples];
  for (uint32_t m = 0; m < macroblocks; ++m) {
    const int16_t* blocks = coefficients + m * kMacroblockSamples;
    for (int b = 0; b < kBlocksPerMacroblock; ++b) {
      dequantise_block(blocks + b * kBlockSamples, dequantised + b * kBlockSamples, dc_times_four,
                       p.quant_scale);
      routines.idct(dequantised + b * kBlockSamples, samples + b * kBlockSamples);
    }
    const MacroblockOrigin o = macroblock_origin(m, p.width, p.height, p.by_rows);
    routines.colour(samples, picture + o.y * stride + static_cast<ptrdiff_t>(o.x) * kBytesPerPixel,
                    stride);
  }
  return FrameStatus::kOk;
}
