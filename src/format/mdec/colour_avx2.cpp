// Colour conversion with AVX2: four pixels a vector, the bytes interleaved
// into p0 p1 p2 triplets with byte shuffles. The arithmetic is the SSE2
// variant's, lane for lane. Built by function attribute, chosen only when the
// processor has AVX2.
#include "format/mdec/colour.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "format/mdec/mdec_tables.hpp"

#define KORVANE_AVX2 __attribute__((target("avx2")))

namespace {

constexpr double kLevelOffset = 128.0;
constexpr int kPixelsPerStep = 8;
constexpr int kDuplicateLow = 0x50;   // lanes 0 0 1 1
constexpr int kDuplicateHigh = 0xFA;  // lanes 2 2 3 3
constexpr int8_t kZero = -128;        // a shuffle index that yields 0

// Eight pixels' bytes: 24 output bytes from p0 p1 (one register, p0 in the
// low half) and p2; output byte n is component n % 3 of pixel n / 3.
struct Interleave {
  int8_t from01[32];  // two masks: output bytes 0..15 and 16..31
  int8_t from2[32];
};
constexpr Interleave make_interleave() {
  Interleave m{};
  for (int n = 0; n < 32; ++n) {
    const int pixel = n / 3, component = n % 3;
    const bool real = n < kPixelsPerStep * 3;
    m.from01[n] = real && component < 2 ? static_cast<int8_t>(component * 8 + pixel) : kZero;
    m.from2[n] = real && component == 2 ? static_cast<int8_t>(pixel) : kZero;
  }
  return m;
}
constexpr Interleave kInterleave = make_interleave();

KORVANE_AVX2 inline __m128i to_bytes(__m256d lo, __m256d hi) {
  __m128i a = _mm256_cvttpd_epi32(lo);
  __m128i b = _mm256_cvttpd_epi32(hi);
  a = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16);
  b = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
  const __m128i words = _mm_packs_epi32(a, b);
  return _mm_packus_epi16(words, words);
}

}  // namespace

KORVANE_AVX2 void colour_macroblock_avx2(const double* blocks, uint8_t* dest, ptrdiff_t stride) {
  ChromaProducts t;
  chroma_products(blocks, blocks + kCoefficientsPerBlock, t);
  const __m256d offset = _mm256_set1_pd(kLevelOffset);
  const __m128i mask01_first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kInterleave.from01));
  const __m128i mask01_second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kInterleave.from01 + 16));
  const __m128i mask2_first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kInterleave.from2));
  const __m128i mask2_second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kInterleave.from2 + 16));

  for (int py = 0; py < kMacroblockPixels; ++py) {
    uint8_t* out = dest + py * stride;
    for (int half = 0; half < 2; ++half, out += kPixelsPerStep * kBytesPerPixel) {
      const double* luma = blocks + (2 + (py / 8) * 2 + half) * kCoefficientsPerBlock + (py % 8) * 8;
      const int c = (py / 2) * 8 + half * 4;
      const __m256d level_lo = _mm256_add_pd(_mm256_loadu_pd(luma), offset);
      const __m256d level_hi = _mm256_add_pd(_mm256_loadu_pd(luma + 4), offset);
      const __m256d blue_b = _mm256_loadu_pd(&t.blue_b[c]);
      const __m256d green_a = _mm256_loadu_pd(&t.green_a[c]);
      const __m256d green_b = _mm256_loadu_pd(&t.green_b[c]);
      const __m256d red_a = _mm256_loadu_pd(&t.red_a[c]);
      const __m128i p0 = to_bytes(_mm256_add_pd(level_lo, _mm256_permute4x64_pd(blue_b, kDuplicateLow)),
                                  _mm256_add_pd(level_hi, _mm256_permute4x64_pd(blue_b, kDuplicateHigh)));
      const __m128i p1 = to_bytes(
          _mm256_sub_pd(_mm256_sub_pd(level_lo, _mm256_permute4x64_pd(green_a, kDuplicateLow)),
                        _mm256_permute4x64_pd(green_b, kDuplicateLow)),
          _mm256_sub_pd(_mm256_sub_pd(level_hi, _mm256_permute4x64_pd(green_a, kDuplicateHigh)),
                        _mm256_permute4x64_pd(green_b, kDuplicateHigh)));
      const __m128i p2 = to_bytes(_mm256_add_pd(level_lo, _mm256_permute4x64_pd(red_a, kDuplicateLow)),
                                  _mm256_add_pd(level_hi, _mm256_permute4x64_pd(red_a, kDuplicateHigh)));
      const __m128i p01 = _mm_unpacklo_epi64(p0, p1);
      const __m128i first = _mm_or_si128(_mm_shuffle_epi8(p01, mask01_first), _mm_shuffle_epi8(p2, mask2_first));
      const __m128i second =
          _mm_or_si128(_mm_shuffle_epi8(p01, mask01_second), _mm_shuffle_epi8(p2, mask2_second));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), first);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), second);
    }
  }
}

#else

void colour_macroblock_avx2(const double* blocks, uint8_t* dest, ptrdiff_t stride) {
  colour_macroblock(blocks, dest, stride);
}

#endif
