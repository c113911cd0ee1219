// Colour conversion with SSE2 doubles, eight pixels of a luminance row at a
// time: the same sums as the per-pixel formula, truncated with cvttpd,
// wrapped to 16 bits, then limited to 0..255 by the unsigned-saturating pack
// (exact, since the values already fit 16 bits).
#include "format/mdec/colour.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "format/mdec/mdec_tables.hpp"

namespace {

constexpr double kLevelOffset = 128.0;
constexpr int kPixelsPerStep = 8;

// Four pairs of doubles to eight bytes: truncate, wrap to 16 bits, limit.
inline __m128i to_bytes(__m128d v0, __m128d v1, __m128d v2, __m128d v3) {
  __m128i lo = _mm_unpacklo_epi64(_mm_cvttpd_epi32(v0), _mm_cvttpd_epi32(v1));
  __m128i hi = _mm_unpacklo_epi64(_mm_cvttpd_epi32(v2), _mm_cvttpd_epi32(v3));
  lo = _mm_srai_epi32(_mm_slli_epi32(lo, 16), 16);
  hi = _mm_srai_epi32(_mm_slli_epi32(hi, 16), 16);
  const __m128i words = _mm_packs_epi32(lo, hi);
  return _mm_packus_epi16(words, words);
}

// Both lanes the same chroma product.
inline __m128d twice(const double* p) { return _mm_load1_pd(p); }

}  // namespace

void colour_macroblock_sse2(const double* blocks, uint8_t* dest, ptrdiff_t stride) {
  ChromaProducts t;
  chroma_products(blocks, blocks + kCoefficientsPerBlock, t);
  const __m128d offset = _mm_set1_pd(kLevelOffset);
  alignas(16) uint8_t planes[3][16];

  for (int py = 0; py < kMacroblockPixels; ++py) {
    uint8_t* out = dest + py * stride;
    for (int half = 0; half < 2; ++half, out += kPixelsPerStep * kBytesPerPixel) {
      const double* luma = blocks + (2 + (py / 8) * 2 + half) * kCoefficientsPerBlock + (py % 8) * 8;
      const int c = (py / 2) * 8 + half * 4;
      __m128d p0[4], p1[4], p2[4];
      for (int j = 0; j < 4; ++j) {
        const __m128d level = _mm_add_pd(_mm_loadu_pd(luma + 2 * j), offset);
        p0[j] = _mm_add_pd(level, twice(&t.blue_b[c + j]));
        p1[j] = _mm_sub_pd(_mm_sub_pd(level, twice(&t.green_b[c + j])), twice(&t.green_a[c + j]));
        p2[j] = _mm_add_pd(level, twice(&t.red_a[c + j]));
      }
      _mm_store_si128(reinterpret_cast<__m128i*>(planes[0]), to_bytes(p0[0], p0[1], p0[2], p0[3]));
      _mm_store_si128(reinterpret_cast<__m128i*>(planes[1]), to_bytes(p1[0], p1[1], p1[2], p1[3]));
      _mm_store_si128(reinterpret_cast<__m128i*>(planes[2]), to_bytes(p2[0], p2[1], p2[2], p2[3]));
      for (int px = 0; px < kPixelsPerStep; ++px) {
        out[px * 3] = planes[0][px];
        out[px * 3 + 1] = planes[1][px];
        out[px * 3 + 2] = planes[2][px];
      }
    }
  }
}

#else

void colour_macroblock_sse2(const double* blocks, uint8_t* dest, ptrdiff_t stride) {
  colour_macroblock(blocks, dest, stride);
}

#endif
