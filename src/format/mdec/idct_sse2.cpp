// The inverse DCT with SSE2 doubles, two columns a vector. Each lane does
// the reference's arithmetic in the reference's order; rows whose inputs are
// all zero contribute only zero terms and are skipped, which leaves every
// sum unchanged.
#include "format/mdec/idct.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

constexpr int kPairs = 4;  // eight columns, two a vector

inline bool row_is_zero(const int16_t* row) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
  return _mm_movemask_epi8(_mm_cmpeq_epi16(v, _mm_setzero_si128())) == 0xFFFF;
}

// Truncation toward zero, then the low 16 bits as a signed value.
inline __m128d truncate_to_16_bits(__m128d v) {
  __m128i i = _mm_cvttpd_epi32(v);
  i = _mm_srai_epi32(_mm_slli_epi32(i, 16), 16);
  return _mm_cvtepi32_pd(i);
}

inline bool truncated_in_pass_2(int k) { return k != 0 && k != 4; }

}  // namespace

void idct_block_sse2(const int16_t* in, double* out) {
  alignas(16) double pass1[8][8];  // [row][x], not transposed: pass 2 reads rows of it
  bool live[8];
  for (int r = 0; r < 8; ++r) {
    const int16_t* row = in + r * 8;
    live[r] = !row_is_zero(row);
    if (!live[r]) continue;
    __m128d acc[kPairs];
    const __m128d first = _mm_set1_pd(kIdctWeights[0][0] * row[0]);
    for (int j = 0; j < kPairs; ++j) acc[j] = first;
    for (int k = 1; k < 8; ++k) {
      if (row[k] == 0) continue;
      const __m128d u = _mm_set1_pd(static_cast<double>(row[k]));
      for (int j = 0; j < kPairs; ++j)
        acc[j] = _mm_add_pd(acc[j], _mm_mul_pd(u, _mm_loadu_pd(&kIdctWeights[k][2 * j])));
    }
    for (int j = 0; j < kPairs; ++j) {
      const __m128d v = truncated_in_pass_2(r) ? truncate_to_16_bits(acc[j]) : acc[j];
      _mm_store_pd(&pass1[r][2 * j], v);
    }
  }
  for (int y = 0; y < 8; ++y) {
    __m128d acc[kPairs];
    for (int j = 0; j < kPairs; ++j) acc[j] = _mm_setzero_pd();
    if (live[0]) {
      const __m128d w = _mm_set1_pd(kIdctWeights[0][y]);
      for (int j = 0; j < kPairs; ++j) acc[j] = _mm_mul_pd(w, _mm_load_pd(&pass1[0][2 * j]));
    }
    for (int k = 1; k < 8; ++k) {
      if (!live[k]) continue;
      const __m128d w = _mm_set1_pd(kIdctWeights[k][y]);
      for (int j = 0; j < kPairs; ++j)
        acc[j] = _mm_add_pd(acc[j], _mm_mul_pd(_mm_load_pd(&pass1[k][2 * j]), w));
    }
    for (int j = 0; j < kPairs; ++j) _mm_storeu_pd(out + y * 8 + 2 * j, acc[j]);
  }
}

#else

void idct_block_sse2(const int16_t* in, double* out) { idct_block_reference(in, out); }

#endif
