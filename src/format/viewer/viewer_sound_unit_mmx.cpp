// The viewer's ADPCM unit decoder with SIMD: the 28 nibbles are widened and
// shifted four at a time, and every sample is limited by a saturating pack.
// The prediction itself is sequential and gives exactly the plain results.
#include "format/viewer/routine_table.hpp"
#include "format/viewer/sound_filters.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

constexpr int kRowsPerVector = 4;  // four 4-byte sample rows in 16 bytes

inline int32_t saturate16(int32_t value) {
  const __m128i packed = _mm_packs_epi32(_mm_cvtsi32_si128(value), _mm_setzero_si128());
  return static_cast<int16_t>(_mm_cvtsi128_si32(packed));
}

}  // namespace

void viewer_sound_unit_mmx(AdpcmUnitState& state) {
  load_unit_parameters(state);
  // Each 32-bit lane holds one row; the unit's byte sits 8 * (unit / 2)
  // bits up, its nibble 4 more for odd units. Moving the nibble to the top
  // of the lane and back down arithmetically gives it signed; then it goes
  // to bits 12..15 and down by the shift.
  const int nibble_bit = 8 * (state.unit / 2) + 4 * (state.unit & 1);
  const __m128i to_top = _mm_cvtsi32_si128(32 - 4 - nibble_bit);
  const __m128i shift = _mm_cvtsi32_si128(state.shift);
  alignas(16) int32_t t[kSamplesPerUnit];
  for (int v = 0; v < kSamplesPerUnit / kRowsPerVector; ++v) {
    const __m128i rows = _mm_loadu_si128(reinterpret_cast<const __m128i*>(
        state.group + kUnitSampleOffset + v * kRowsPerVector * kUnitSampleRowBytes));
    const __m128i nibble = _mm_srai_epi32(_mm_sll_epi32(rows, to_top), 28);
    const __m128i placed = _mm_slli_epi32(nibble, kNibbleTopShift);
    _mm_store_si128(reinterpret_cast<__m128i*>(t + v * kRowsPerVector), _mm_sra_epi32(placed, shift));
  }
  int32_t p1 = state.history->p1;
  int32_t p2 = state.history->p2;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const int32_t s = saturate16(t[i] + ((state.k0 * p1) >> kFilterTermShift) +
                                 ((state.k1 * p2) >> kFilterTermShift));
    state.out[i] = static_cast<int16_t>(s);
    p2 = p1;
    p1 = s;
  }
  state.history->p1 = p1;
  state.history->p2 = p2;
  state.out += kSamplesPerUnit;
}

#else

// Without SIMD the plain decoder computes the same samples.
void viewer_sound_unit_mmx(AdpcmUnitState& state) { viewer_sound_unit_plain(state); }

#endif
