// What the viewer's ADPCM unit decoders share: the shift constants and the
// sample loop of the plain decoders (shifts instead of divisions, rounding
// toward minus infinity, a history that keeps the limited value); the sound
// group layout, the filter table and the parameter loading are the XA
// decoder's.
#pragma once

#include "format/xa/adpcm_decoder.hpp"

constexpr int kNibbleTopShift = 12;  // a nibble in bits 12..15 of a 16-bit value
constexpr int kByteTopShift = 8;     // an 8-bit sample in bits 8..15
constexpr int kFilterTermShift = 8;  // coefficients in units of 1/256

// Decodes the unit's 28 samples; top(i) is sample i placed in the top bits
// of a 16-bit value (before the shift).
template <typename Top>
void viewer_unit_samples(AdpcmUnitState& state, Top top) {
  load_unit_parameters(state);
  int32_t p1 = state.history->p1;
  int32_t p2 = state.history->p2;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const int32_t t = static_cast<int16_t>(top(i)) >> state.shift;
    int32_t s = t + ((state.k0 * p1) >> kFilterTermShift) + ((state.k1 * p2) >> kFilterTermShift);
    if (s > 32767) s = 32767;
    if (s < -32768) s = -32768;
    state.out[i] = static_cast<int16_t>(s);
    p2 = p1;
    p1 = s;
  }
  state.history->p1 = p1;
  state.history->p2 = p2;
  state.out += kSamplesPerUnit;
}
