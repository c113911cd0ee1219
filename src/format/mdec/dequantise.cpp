// AC coefficients are scaled by the quantisation table and the frame's
// quantisation scale in 32-bit arithmetic (wrapping like the machine's
// multiply), then divided by 16 toward zero and kept as 16 bits.
#include "format/mdec/dequantise.hpp"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "format/mdec/mdec_tables.hpp"

namespace {
constexpr int32_t kAcDivisor = 16;
constexpr int kDcScaleV3 = 4;

// Bit k set when coefficient k is not zero.
uint64_t nonzero_mask(const int16_t* in) {
#if defined(__SSE2__)
  uint64_t mask = 0;
  const __m128i zero = _mm_setzero_si128();
  for (int group = 0; group < 4; ++group) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + group * 16));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + group * 16 + 8));
    const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
    mask |= static_cast<uint64_t>(static_cast<uint16_t>(~_mm_movemask_epi8(zeros))) << (group * 16);
  }
  return mask;
#else
  uint64_t mask = 0;
  for (int k = 0; k < kCoefficientsPerBlock; ++k) mask |= static_cast<uint64_t>(in[k] != 0) << k;
  return mask;
#endif
}

}  // namespace

void dequantise_block(const int16_t* in, int16_t* out, bool dc_times_four, uint32_t scale) {
  std::memset(out, 0, kCoefficientsPerBlock * sizeof(int16_t));
  out[0] = dc_times_four ? static_cast<int16_t>(in[0] * kDcScaleV3) : in[0];
  // Blocks are mostly zeros: visit only the coefficients that are not.
  uint64_t nonzero = nonzero_mask(in) & ~uint64_t{1};
  while (nonzero != 0) {
    const int k = __builtin_ctzll(nonzero);
    nonzero &= nonzero - 1;
    const uint32_t product = static_cast<uint32_t>(in[k]) * kQuantTable[k] * scale;
    const int32_t v = static_cast<int32_t>(product) / kAcDivisor;
    out[kZigzag[k]] = static_cast<int16_t>(v);
  }
}
