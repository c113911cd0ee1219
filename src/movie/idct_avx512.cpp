// The inverse DCT with AVX-512 doubles: a whole row of eight columns a
// vector; otherwise the SSE2 variant's method. Built by function attribute
// and chosen only when the processor has AVX-512F; no fused multiply-add.
#include "movie/idct.hpp"

#if defined(__x86_64__)
#include <immintrin.h>

#define KORVANE_AVX512 __attribute__((target("avx512f")))

namespace {

// The zero-masked conversions: the plain ones start from an undefined
// register, which some compilers warn about.
constexpr __mmask8 kAllLanes = 0xFF;

KORVANE_AVX512 inline __m512d truncate_to_16_bits(__m512d v) {
  __m256i i = _mm512_maskz_cvttpd_epi32(kAllLanes, v);
  i = _mm256_srai_epi32(_mm256_slli_epi32(i, 16), 16);
  return _mm512_maskz_cvtepi32_pd(kAllLanes, i);
}

inline bool row_is_zero(const int16_t* row) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
  return _mm_movemask_epi8(_mm_cmpeq_epi16(v, _mm_setzero_si128())) == 0xFFFF;
}

inline bool truncated_in_pass_2(int k) { return k != 0 && k != 4; }

}  // namespace

KORVANE_AVX512 void idct_block_avx512(const int16_t* in, double* out) {
  __m512d pass1[8];  // row r of pass 1, all eight columns
  bool live[8];
  for (int r = 0; r < 8; ++r) {
    const int16_t* row = in + r * 8;
    live[r] = !row_is_zero(row);
    if (!live[r]) continue;
    __m512d acc = _mm512_set1_pd(kIdctWeights[0][0] * row[0]);
    for (int k = 1; k < 8; ++k) {
      if (row[k] == 0) continue;
      acc = _mm512_add_pd(acc, _mm512_mul_pd(_mm512_set1_pd(static_cast<double>(row[k])),
                                             _mm512_loadu_pd(kIdctWeights[k])));
    }
    pass1[r] = truncated_in_pass_2(r) ? truncate_to_16_bits(acc) : acc;
  }
  for (int y = 0; y < 8; ++y) {
    __m512d acc = _mm512_setzero_pd();
    if (live[0]) acc = _mm512_mul_pd(_mm512_set1_pd(kIdctWeights[0][y]), pass1[0]);
    for (int k = 1; k < 8; ++k) {
      if (!live[k]) continue;
      acc = _mm512_add_pd(acc, _mm512_mul_pd(pass1[k], _mm512_set1_pd(kIdctWeights[k][y])));
    }
    _mm512_storeu_pd(out + y * 8, acc);
  }
}

bool idct_avx512_available() { return __builtin_cpu_supports("avx512f"); }

#else

void idct_block_avx512(const int16_t* in, double* out) { idct_block_reference(in, out); }
bool idct_avx512_available() { return false; }

#endif
