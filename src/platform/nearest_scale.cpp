// The row-reusing nearest-neighbour scaler of the viewer's window surface.
#include "platform/nearest_scale.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kPixelBytes = 4;

// The source position that destination position i (0-based in a span of
// `to` pixels) samples: the centre of the destination pixel, mapped.
int32_t sample_of(int32_t i, int32_t from, int32_t to) {
  return static_cast<int32_t>((static_cast<int64_t>(2 * i + 1) * from) / (2 * static_cast<int64_t>(to)));
}

}  // namespace

void scale_nearest_32(const uint8_t* source, int32_t source_pitch, const ScaleRect& from, uint8_t* destination,
                      int32_t destination_pitch, const ScaleRect& to, const ScaleRect& clip) {
  if (from.w <= 0 || from.h <= 0 || to.w <= 0 || to.h <= 0) return;
  const int32_t left = std::max(to.x, clip.x), right = std::min(to.x + to.w, clip.x + clip.w);
  const int32_t top = std::max(to.y, clip.y), bottom = std::min(to.y + to.h, clip.y + clip.h);
  if (left >= right || top >= bottom) return;

  std::vector<int32_t> column(static_cast<size_t>(right - left));
  for (int32_t x = left; x < right; ++x)
    column[static_cast<size_t>(x - left)] = (from.x + sample_of(x - to.x, from.w, to.w)) * kPixelBytes;

  const size_t row_bytes = static_cast<size_t>(right - left) * kPixelBytes;
  int32_t last_row = -1;
  const uint8_t* last = nullptr;
  for (int32_t y = top; y < bottom; ++y) {
    uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * destination_pitch + left * kPixelBytes;
    const int32_t row = from.y + sample_of(y - to.y, from.h, to.h);
    if (row == last_row) {
      std::memcpy(out, last, row_bytes);
      continue;
    }
    const uint8_t* in = source + static_cast<std::ptrdiff_t>(row) * source_pitch;
    for (size_t i = 0; i < column.size(); ++i) std::memcpy(out + i * kPixelBytes, in + column[i], kPixelBytes);
    last_row = row;
    last = out;
  }
}
