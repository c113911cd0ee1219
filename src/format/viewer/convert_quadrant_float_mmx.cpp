// Quarter converter for float samples on processors with SIMD: the same
// three double-precision sums as the plain converter, converted with the
// processor's rounding (nearest, ties to even) and limited to 0..255 by
// saturating packs instead of a table.
#include "format/viewer/colour_factors.hpp"
#include "format/viewer/routine_table.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>

void convert_quadrant_float_mmx(const float* luma, const float* chroma_a,
                                const float* chroma_b, uint8_t* dest, int32_t pitch,
                                uint32_t bytes_per_pixel) {
  const __m128d offset = _mm_set1_pd(kLevelOffset);
  for (int cy = 0; cy < 4; ++cy) {
    for (int cx = 0; cx < 4; ++cx) {
      const double a = chroma_a[cy * 8 + cx];
      const double b = chroma_b[cy * 8 + cx];
      const __m128d d0 = _mm_set1_pd(static_cast<double>(kFactorBToP0) * b);
      const __m128d d1b = _mm_set1_pd(static_cast<double>(kFactorBToP1) * b);
      const __m128d d1a = _mm_set1_pd(static_cast<double>(kFactorAToP1) * a);
      const __m128d d2 = _mm_set1_pd(static_cast<double>(kFactorAToP2) * a);
      for (int dy = 0; dy < 2; ++dy) {
        const int y = 2 * cy + dy;
        // The two luminance samples of this row of the square.
        const __m128 pair = _mm_castsi128_ps(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(luma + y * 8 + 2 * cx)));
        const __m128d level = _mm_add_pd(_mm_cvtps_pd(pair), offset);
        const __m128i p0 = _mm_cvtpd_epi32(_mm_add_pd(level, d0));
        const __m128i p1 = _mm_cvtpd_epi32(_mm_add_pd(_mm_add_pd(level, d1b), d1a));
        const __m128i p2 = _mm_cvtpd_epi32(_mm_add_pd(level, d2));
        // 16-bit lanes: p0 p1 of the left pixel, p0 p1 of the right, then p2 p2.
        const __m128i words = _mm_packs_epi32(_mm_unpacklo_epi32(p0, p1), p2);
        const __m128i bytes = _mm_packus_epi16(words, words);
        const uint32_t low = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
        const uint32_t high = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4)));
        uint8_t* left = dest + y * pitch + (2 * cx) * bytes_per_pixel;
        uint8_t* right = left + bytes_per_pixel;
        left[0] = static_cast<uint8_t>(low);
        left[1] = static_cast<uint8_t>(low >> 8);
        left[2] = static_cast<uint8_t>(high);
        right[0] = static_cast<uint8_t>(low >> 16);
        right[1] = static_cast<uint8_t>(low >> 24);
        right[2] = static_cast<uint8_t>(high >> 8);
      }
    }
  }
}

#else
#include <cmath>

namespace {
inline uint8_t saturate(double value) {
  const double rounded = std::nearbyint(value);
  return static_cast<uint8_t>(rounded < 0 ? 0 : (rounded > 255 ? 255 : rounded));
}
}  // namespace

// Without SIMD the same arithmetic, limited by comparisons.
void convert_quadrant_float_mmx(const float* luma, const float* chroma_a,
                                const float* chroma_b, uint8_t* dest, int32_t pitch,
                                uint32_t bytes_per_pixel) {
  for (int cy = 0; cy < 4; ++cy) {
    for (int cx = 0; cx < 4; ++cx) {
      const double a = chroma_a[cy * 8 + cx];
      const double b = chroma_b[cy * 8 + cx];
      for (int i = 0; i < 4; ++i) {
        const int x = 2 * cx + kSquareDx[i];
        const int y = 2 * cy + kSquareDy[i];
        const double level = static_cast<double>(luma[y * 8 + x]) + kLevelOffset;
        uint8_t* pixel = dest + y * pitch + x * bytes_per_pixel;
        pixel[0] = saturate(level + static_cast<double>(kFactorBToP0) * b);
        pixel[1] = saturate((level + static_cast<double>(kFactorBToP1) * b) +
                            static_cast<double>(kFactorAToP1) * a);
        pixel[2] = saturate(level + static_cast<double>(kFactorAToP2) * a);
      }
    }
  }
}
#endif
