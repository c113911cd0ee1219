// Integer quarter converters of the fixed-point and filter drawings: the
// colour factors in units of 1/256, shifts toward minus infinity, and the
// low 16 bits of each sum limited to 0..255 as a saturating pack does.
#include "format/viewer/colour_factors.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

inline uint8_t saturate_low16(int32_t value) {
  const int16_t v = static_cast<int16_t>(value);
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// A quarter of chroma_size x chroma_size chroma samples; rows of every
// block lie stride samples apart.
template <int kChromaSize, int kStride>
void convert_quadrant_int16(const int16_t* luma, const int16_t* chroma_a,
                            const int16_t* chroma_b, uint8_t* dest, int32_t pitch,
                            uint32_t bytes_per_pixel) {
  for (int cy = 0; cy < kChromaSize; ++cy) {
    for (int cx = 0; cx < kChromaSize; ++cx) {
      const int32_t a = chroma_a[cy * kStride + cx];
      const int32_t b = chroma_b[cy * kStride + cx];
      const int32_t d0 = (kFixedBToP0 * b) >> kFixedFactorShift;
      const int32_t d1 = (kFixedBToP1 * b + kFixedAToP1 * a) >> kFixedFactorShift;
      const int32_t d2 = (kFixedAToP2 * a) >> kFixedFactorShift;
      for (int i = 0; i < 4; ++i) {
        const int x = 2 * cx + kSquareDx[i];
        const int y = 2 * cy + kSquareDy[i];
        const int32_t level = luma[y * kStride + x] + kFixedLevelOffset;
        uint8_t* pixel = dest + y * pitch + x * bytes_per_pixel;
        pixel[0] = saturate_low16(level + d0);
        pixel[1] = saturate_low16(level + d1);
        pixel[2] = saturate_low16(level + d2);
      }
    }
  }
}

}  // namespace

void convert_quadrant_fixed(const int16_t* luma, const int16_t* chroma_a,
                            const int16_t* chroma_b, uint8_t* dest, int32_t pitch,
                            uint32_t bytes_per_pixel) {
  convert_quadrant_int16<4, 8>(luma, chroma_a, chroma_b, dest, pitch, bytes_per_pixel);
}

void convert_quadrant_filter(const int16_t* luma, const int16_t* chroma_a,
                             const int16_t* chroma_b, uint8_t* dest, int32_t pitch,
                             uint32_t bytes_per_pixel) {
  convert_quadrant_int16<8, 16>(luma, chroma_a, chroma_b, dest, pitch, bytes_per_pixel);
}
