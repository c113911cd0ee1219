// The inverse DCT with AVX doubles, four columns a vector; otherwise the SSE2
// variant's method. Built for AVX by function attribute and chosen only when
// the processor has it. AVX brings no fused multiply-add, so every product
// is rounded on its own as in the reference.
#include "format/mdec/idct.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define KORVANE_AVX __attribute__((target("avx")))

namespace {

constexpr int kQuads = 2;  // eight columns, four a vector

KORVANE_AVX inline __m256d truncate_to_16_bits(__m256d v) {
  __m128i i = _mm256_cvttpd_epi32(v);
  i = _mm_srai_epi32(_mm_slli_epi32(i, 16), 16);
  return _mm256_cvtepi32_pd(i);
}

inline bool row_is_zero(const int16_t* row) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
  return _mm_movemask_epi8(_mm_cmpeq_epi16(v, _mm_setzero_si128())) == 0xFFFF;
}

inline bool truncated_in_pass_2(int k) { return k != 0 && k != 4; }

}  // namespace

KORVANE_AVX void idct_block_avx(const int16_t* in, double* out) {
  alignas(32) double pass1[8][8];  // [row][x]
  bool live[8];
  for (int r = 0; r < 8; ++r) {
    const int16_t* row = in + r * 8;
    live[r] = !row_is_zero(row);
    if (!live[r]) continue;
    __m256d acc[kQuads];
    const __m256d first = _mm256_set1_pd(kIdctWeights[0][0] * row[0]);
    for (int j = 0; j < kQuads; ++j) acc[j] = first;
    for (int k = 1; k < 8; ++k) {
      if (row[k] == 0) continue;
      const __m256d u = _mm256_set1_pd(static_cast<double>(row[k]));
      for (int j = 0; j < kQuads; ++j)
        acc[j] = _mm256_add_pd(acc[j], _mm256_mul_pd(u, _mm256_loadu_pd(&kIdctWeights[k][4 * j])));
    }
    for (int j = 0; j < kQuads; ++j) {
      const __m256d v = truncated_in_pass_2(r) ? truncate_to_16_bits(acc[j]) : acc[j];
      _mm256_store_pd(&pass1[r][4 * j], v);
    }
  }
  // Only row 0 alive (often just the DC): every output row is 0.5 x row 0.
  bool only_row_0 = live[0];
  for (int k = 1; k < 8; ++k) only_row_0 = only_row_0 && !live[k];
  if (only_row_0) {
    const __m256d w = _mm256_set1_pd(kIdctWeights[0][0]);
    const __m256d left = _mm256_mul_pd(w, _mm256_load_pd(&pass1[0][0]));
    const __m256d right = _mm256_mul_pd(w, _mm256_load_pd(&pass1[0][4]));
    for (int y = 0; y < 8; ++y) {
      _mm256_storeu_pd(out + y * 8, left);
      _mm256_storeu_pd(out + y * 8 + 4, right);
    }
    return;
  }
  for (int y = 0; y < 8; ++y) {
    __m256d acc[kQuads];
    for (int j = 0; j < kQuads; ++j) acc[j] = _mm256_setzero_pd();
    if (live[0]) {
      const __m256d w = _mm256_set1_pd(kIdctWeights[0][y]);
      for (int j = 0; j < kQuads; ++j) acc[j] = _mm256_mul_pd(w, _mm256_load_pd(&pass1[0][4 * j]));
    }
    for (int k = 1; k < 8; ++k) {
      if (!live[k]) continue;
      const __m256d w = _mm256_set1_pd(kIdctWeights[k][y]);
      for (int j = 0; j < kQuads; ++j)
        acc[j] = _mm256_add_pd(acc[j], _mm256_mul_pd(_mm256_load_pd(&pass1[k][4 * j]), w));
    }
    for (int j = 0; j < kQuads; ++j) _mm256_storeu_pd(out + y * 8 + 4 * j, acc[j]);
  }
}

#else

void idct_block_avx(const int16_t* in, double* out) { idct_block_reference(in, out); }

#endif
