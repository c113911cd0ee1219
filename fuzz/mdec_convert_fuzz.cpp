// Fuzz target: the conversion's MDEC path on one frame bitstream. Input: one
// byte of picture size (low nibble: macroblock columns - 1, high nibble:
// rows - 1), one byte of placement (bit 0: -width, by rows), then the frame
// bitstream as a video frame carries it (8-byte frame header, coded
// macroblocks). The decoded blocks also go through every inverse DCT
// variant, which must agree with the reference bit for bit.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/byte_order.hpp"
#include "format/mdec/colour.hpp"
#include "format/mdec/dequantise.hpp"
#include "format/mdec/idct.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "fuzz/support/fatal_trap.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "platform/cpu_features.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kPrefixBytes = 2;
constexpr uint32_t kLastVersion2 = 2;  // later versions decode as version 3
constexpr int kBlockSamples = kCoefficientsPerBlock;

// Every transform variant this processor can run must equal the reference.
void check_idct_variants(const int16_t* coefficients, size_t blocks, uint32_t version,
                         uint32_t scale) {
  const bool dc_times_four = version != kLastVersion2;
  for (size_t b = 0; b < blocks; ++b) {
    int16_t dequantised[kBlockSamples];
    dequantise_block(coefficients + b * kBlockSamples, dequantised, dc_times_four, scale);
    double reference[kBlockSamples], sse2[kBlockSamples];
    idct_block_reference(dequantised, reference);
    idct_block_sse2(dequantised, sse2);
    if (std::memcmp(reference, sse2, sizeof reference) != 0) std::abort();
    if (cpu_features().avx) {
      double avx[kBlockSamples];
      idct_block_avx(dequantised, avx);
      if (std::memcmp(reference, avx, sizeof reference) != 0) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefixBytes + kFrameHeaderBytes) return -1;
  const uint32_t columns = (data[0] & 0x0F) + 1u;
  const uint32_t rows = (data[0] >> 4) + 1u;
  const bool by_rows = (data[1] & 1) != 0;
  const uint8_t* bitstream = data + kPrefixBytes;
  const size_t bitstream_bytes = size - kPrefixBytes;

  movie.picture_width = columns * kMacroblockPixels;
  movie.picture_height = rows * kMacroblockPixels;
  movie.macroblock_count = columns * rows;
  movie.quant_scale = get_le16(bitstream + kFrameHeaderScaleOffset);
  movie.version = get_le16(bitstream + kFrameHeaderVersionOffset);
  reserve_frame_bitstream(bitstream_bytes);
  std::memcpy(movie.frame.bitstream, bitstream, bitstream_bytes);
  movie.frame.bitstream_bytes = bitstream_bytes;

  const int code = run_trapped([&] {
    if (movie.version > kLastVersion2)
      decode_frame_v3();
    else
      decode_frame_v2();
  });
  if (code != 0) return 0;
  check_idct_variants(movie.frame.coefficients,
                      static_cast<size_t>(movie.macroblock_count) * kBlocksPerMacroblock,
                      movie.version, movie.quant_scale);
  build_frame_picture(by_rows);
  return 0;
}
