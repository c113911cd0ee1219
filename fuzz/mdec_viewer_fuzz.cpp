// Fuzz target: the viewer's frame pipeline on one frame bitstream: decoder,
// dequantiser, transform and drawing of the chosen routine set into a
// surface. Input: one byte of picture size (low nibble: macroblock columns
// - 1, high nibble: rows - 1), one byte of routines (bits 0-1: plain float,
// float with the SIMD quarter converter, fixed point, filter; bit 2: 4 bytes
// a pixel), then the frame bitstream (8-byte frame header, coded
// macroblocks), as a frame ring slot holds it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/byte_order.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "format/viewer/idct_layout.hpp"
#include "format/viewer/routine_table.hpp"
#include "format/viewer/viewer_decoder.hpp"

namespace {

constexpr size_t kPrefixBytes = 2;
constexpr uint32_t kVersion3 = 3;
constexpr int kMacroblockPixels = 16;
constexpr size_t kBlockBytes = kCoefficientsPerBlock * sizeof(int16_t);
constexpr size_t kCoefficientAlignment = 8;

RoutineTable routines_of(uint8_t choice) {
  int32_t fixed = 0, filter = 0;
  const bool simd = choice != 0;
  if (choice == 2) fixed = 1;
  if (choice == 3) filter = 1;
  return select_routines(simd, fixed, filter);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefixBytes + kFrameHeaderBytes) return -1;
  const uint32_t columns = (data[0] & 0x0F) + 1u;
  const uint32_t rows = (data[0] >> 4) + 1u;
  const RoutineTable routines = routines_of(data[1] & 3);
  const uint32_t bytes_per_pixel = (data[1] & 4) != 0 ? 4 : 3;
  const uint8_t* frame = data + kPrefixBytes;
  const size_t frame_bytes = size - kPrefixBytes;
  const uint32_t scale = get_le16(frame + kFrameHeaderScaleOffset);
  const uint32_t version = get_le16(frame + kFrameHeaderVersionOffset);

  const uint32_t macroblocks = columns * rows;
  const uint32_t blocks = macroblocks * kBlocksPerMacroblock;
  // One block in front: the dequantiser moves every block back by one.
  auto* coefficients =
      static_cast<int16_t*>(std::aligned_alloc(kCoefficientAlignment, (blocks + 1) * kBlockBytes));
  int16_t* decoded = coefficients + kCoefficientsPerBlock;
  const uint8_t* coded = frame + kFrameHeaderBytes;
  const size_t coded_bytes = frame_bytes - kFrameHeaderBytes;
  const DecodeStatus status = version >= kVersion3
                                  ? viewer_decode_v3(coded, coded_bytes, macroblocks, decoded)
                                  : viewer_decode_v2(coded, coded_bytes, macroblocks, decoded);
  if (status == DecodeStatus::kOk) {
    viewer_dequantise(coefficients, blocks, scale);
    std::vector<uint8_t> samples(static_cast<size_t>(macroblocks) * kMaxSampleBytesPerMacroblock * 2);
    routines.transform_frame(coefficients, blocks, samples.data());

    Surface surface;
    surface.bytes_per_pixel = bytes_per_pixel;
    const uint32_t width = columns * kMacroblockPixels * routines.surface_scale;
    const uint32_t height = rows * kMacroblockPixels * routines.surface_scale;
    surface.pitch = static_cast<int32_t>(width * bytes_per_pixel);
    std::vector<uint8_t> pixels(static_cast<size_t>(surface.pitch) * height);
    surface.pixels = pixels.data();
    routines.draw_frame(samples.data(), columns, rows, surface, routines.convert_quadrant);
  }
  std::free(coefficients);
  return 0;
}
