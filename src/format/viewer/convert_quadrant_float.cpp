// Quarter converter for float samples: three colour sums in double
// precision, rounded to the nearest integer (ties to even) and limited
// through the clamp table.
#include <cmath>

#include "format/viewer/clamp_table.hpp"
#include "format/viewer/colour_factors.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

// Values outside the table's reach are limited to 0 and 255 as well.
inline uint8_t limit(double value) {
  const double rounded = std::nearbyint(value);
  if (rounded < -kClampTableOffset) return 0;
  if (rounded >= kClampTableSize - kClampTableOffset) return 255;
  return clamp_table[static_cast<int>(rounded) + kClampTableOffset];
}

}  // namespace

void convert_quadrant_float(const float* luma, const float* chroma_a, const float* chroma_b,
                            uint8_t* dest, int32_t pitch, uint32_t bytes_per_pixel) {
  for (int cy = 0; cy < 4; ++cy) {
    for (int cx = 0; cx < 4; ++cx) {
      const double a = chroma_a[cy * 8 + cx];
      const double b = chroma_b[cy * 8 + cx];
      const double d0 = static_cast<double>(kFactorBToP0) * b;
      const double d1b = static_cast<double>(kFactorBToP1) * b;
      const double d1a = static_cast<double>(kFactorAToP1) * a;
      const double d2 = static_cast<double>(kFactorAToP2) * a;
      for (int i = 0; i < 4; ++i) {
        const int x = 2 * cx + kSquareDx[i];
        const int y = 2 * cy + kSquareDy[i];
        const double level = static_cast<double>(luma[y * 8 + x]) + kLevelOffset;
        uint8_t* pixel = dest + y * pitch + x * bytes_per_pixel;
        pixel[0] = limit(level + d0);
        pixel[1] = limit((level + d1b) + d1a);
        pixel[2] = limit(level + d2);
      }
    }
  }
}
