// Unit parameters of the viewer's ADPCM decoders: shift and prediction
// filter from the parameter byte, and the helpers both unit decoders share.
#pragma once

#include <cstdint>

#include "xa/adpcm_decoder.hpp"

constexpr int kUnitParameterOffset = 4;  // parameter byte of unit u: byte 4 + u
constexpr int kUnitSampleOffset = 16;    // row i of samples: bytes 16 + 4 i ..
constexpr int kUnitSampleRowBytes = 4;
constexpr int kShiftMask = 0x0F;
constexpr int kFilterNumberShift = 4;
constexpr int kNibbleTopShift = 12;      // a nibble in bits 12..15 of a 16-bit value
constexpr int kFilterTermShift = 8;      // coefficients in units of 1/256

// Reads the unit's parameter byte into state.shift, k0 and k1. The filter
// table has four rows; a filter number beyond it uses its two low bits, as
// the hardware does.
void load_unit_parameters(AdpcmUnitState& state);

// The nibble of sample i of the unit.
inline int unit_nibble(const AdpcmUnitState& state, int i) {
  const uint8_t byte =
      state.group[kUnitSampleOffset + kUnitSampleRowBytes * i + state.unit / 2];
  return (state.unit & 1) ? (byte >> 4) : (byte & 0x0F);
}
