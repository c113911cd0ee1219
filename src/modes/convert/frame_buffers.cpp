#include "modes/convert/frame_buffers.hpp"

#include <cstdlib>

#include "format/mdec/colour.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr size_t kSamplesPerMacroblock = kBlocksPerMacroblock * kCoefficientsPerBlock;
constexpr size_t kPictureBytesPerMacroblock = kMacroblockPixels * kMacroblockPixels * kBytesPerPixel;

template <typename T>
T* allocate(size_t count) {
  // One element at least, so that an empty picture still has valid pointers.
  void* p = std::malloc((count == 0 ? 1 : count) * sizeof(T));
  if (p == nullptr) fatal_error(kErrAlloc, "");
  return static_cast<T*>(p);
}

}  // namespace

void reserve_frame_bitstream(size_t bytes) {
  FrameBuffers& f = movie.frame;
  if (bytes > f.bitstream_capacity || f.bitstream == nullptr) {
    std::free(f.bitstream);
    f.bitstream = nullptr;
    f.bitstream = allocate<uint8_t>(bytes);
    f.bitstream_capacity = bytes;
  }
}

void reserve_picture_buffers(uint32_t macroblocks) {
  if (macroblocks > kMaxMacroblocks) fatal_error(kErrAlloc, "");
  FrameBuffers& f = movie.frame;
  if (macroblocks <= f.macroblock_capacity && f.coefficients != nullptr) return;
  std::free(f.coefficients);
  std::free(f.dequantised);
  std::free(f.transformed);
  std::free(f.picture);
  f = FrameBuffers{f.bitstream, f.bitstream_capacity, f.bitstream_bytes};
  f.coefficients = allocate<int16_t>(macroblocks * kSamplesPerMacroblock);
  f.picture = allocate<uint8_t>(macroblocks * kPictureBytesPerMacroblock);
  f.macroblock_capacity = macroblocks;
}

void reserve_stage_buffers() {
  FrameBuffers& f = movie.frame;
  if (f.dequantised != nullptr) return;
  f.dequantised = allocate<int16_t>(f.macroblock_capacity * kSamplesPerMacroblock);
  f.transformed = allocate<double>(f.macroblock_capacity * kSamplesPerMacroblock);
}

void release_frame_buffers() {
  FrameBuffers& f = movie.frame;
  std::free(f.bitstream);
  std::free(f.coefficients);
  std::free(f.dequantised);
  std::free(f.transformed);
  std::free(f.picture);
  f = FrameBuffers{};
}
