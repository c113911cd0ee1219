// XA ADPCM decoding of one audio sector: 18 sound groups of 128 bytes, each
// holding 8 sound units of 28 four-bit samples, or 4 units of 28 eight-bit
// samples. Pure kernels: the caller owns the histories and the output buffer.
#pragma once

#include <cstdint>

#include "format/disc/xa_sector.hpp"

constexpr int kSoundGroupsPerSector = 18;
constexpr int kSoundGroupBytes = 128;
constexpr int kUnitsPerGroup = 8;
constexpr int kSamplesPerUnit = 28;
constexpr int kSamplesPerSector = kSoundGroupsPerSector * kUnitsPerGroup * kSamplesPerUnit;  // 4032
constexpr int kPcmBytesPerSector = kSamplesPerSector * 2;                                   // 8064
constexpr int kSoundDataBytes = kSoundGroupsPerSector * kSoundGroupBytes;                   // 2304

// Layout of a sound group: the parameter byte of unit u is at
// kUnitParameterOffset + u; sample i of all 8 units sits in the 4-byte row at
// kUnitSampleOffset + 4 * i, two units a byte (even unit in the low nibble).
constexpr int kUnitParameterOffset = 4;
constexpr int kUnitSampleOffset = 16;
constexpr int kUnitSampleRowBytes = 4;

// The last two decoded samples of one channel, kept before limiting.
struct AdpcmHistory {
  int32_t p1 = 0;  // last sample
  int32_t p2 = 0;  // the sample before it
};

// The working state of one sound unit while it is decoded.
struct AdpcmUnitState {
  const uint8_t* group = nullptr;  // the 128-byte sound group
  int unit = 0;                    // 0 to 7
  int shift = 0;                   // 0 to 15
  int32_t k0 = 0;                  // filter coefficients in 1/256
  int32_t k1 = 0;
  AdpcmHistory* history = nullptr;
  int16_t* out = nullptr;          // where the next sample goes; advanced by 28
};

// Prediction filters, in units of 1/256. Only these four exist.
constexpr int kAdpcmFilterCount = 4;
constexpr int32_t kAdpcmFilterK0[kAdpcmFilterCount] = {0, 240, 460, 392};
constexpr int32_t kAdpcmFilterK1[kAdpcmFilterCount] = {0, 0, -208, -220};

// Sets state.shift, k0 and k1 from the unit's parameter byte: the low nibble
// is the shift, the high nibble the filter number. The filter table has four
// rows; like the console's decoder only the number's two low bits select the
// row, so numbers 4 to 15 reuse rows 0 to 3 instead of reading past it.
constexpr int kUnitShiftMask = 0x0F;
constexpr int kUnitFilterShift = 4;
inline void load_unit_parameters(AdpcmUnitState& state) {
  const uint8_t parameter = state.group[kUnitParameterOffset + state.unit];
  state.shift = parameter & kUnitShiftMask;
  const int filter = (parameter >> kUnitFilterShift) % kAdpcmFilterCount;
  state.k0 = kAdpcmFilterK0[filter];
  state.k1 = kAdpcmFilterK1[filter];
}

// The 4-bit nibble of sample i of the unit.
inline int unit_nibble(const AdpcmUnitState& state, int i) {
  const uint8_t byte =
      state.group[kUnitSampleOffset + kUnitSampleRowBytes * i + state.unit / 2];
  return (state.unit & 1) ? (byte >> 4) : (byte & 0x0F);
}

// Sets shift and coefficients from the unit's parameter byte, then decodes the
// unit's 28 samples into state.out, carrying state.history.
void decode_sound_unit(AdpcmUnitState& state);

// 8-bit sound groups hold 4 units of 28 samples: sample i of unit u is the
// whole byte at kUnitSampleOffset + 4 * i + u. Parameter bytes, shift and
// filters are those of 4-bit groups; the byte sits in bits 8 to 15 of the
// 16-bit value that is shifted.
constexpr int kUnitsPerGroup8Bit = 4;
constexpr int kSamplesPerSector8Bit = kSoundGroupsPerSector * kUnitsPerGroup8Bit * kSamplesPerUnit;  // 2016

// The signed 8-bit sample i of the unit.
inline int unit_byte(const AdpcmUnitState& state, int i) {
  return static_cast<int8_t>(state.group[kUnitSampleOffset + kUnitSampleRowBytes * i + state.unit]);
}

// decode_sound_unit for a unit of 8-bit samples.
void decode_sound_unit_8bit(AdpcmUnitState& state);

// Decodes, with unit_fn and one history, units first_unit, first_unit + step,
// ... below units of each of the 18 groups, one after another into out.
using SoundUnitDecoder = void (*)(AdpcmUnitState& state);
void decode_sound_units(const uint8_t* data, int units, int first_unit, int step,
                        AdpcmHistory& history, SoundUnitDecoder unit_fn, int16_t* out);

// One sector's sound data (2304 bytes from the data start) to 4032 mono
// samples, group by group and unit by unit.
void decode_xa_mono(const uint8_t* data, AdpcmHistory& history, int16_t* out);

// One sector's sound data to 2016 interleaved pairs: left from the even
// units, right from the odd units.
void decode_xa_stereo(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                      int16_t* out);

// One sector of 8-bit sound data to 2016 mono samples, or to 1008
// interleaved pairs (left from units 0 and 2, right from units 1 and 3).
void decode_xa_mono_8bit(const uint8_t* data, AdpcmHistory& history, int16_t* out);
void decode_xa_stereo_8bit(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                           int16_t* out);

// One sector's sound data as its coding byte describes it (4- or 8-bit,
// mono or stereo; `right` is left alone for mono). Returns the number of
// samples written: 4032 for 4-bit sound, 2016 for 8-bit.
int decode_xa_sector_samples(const uint8_t* data, const XaCoding& coding, AdpcmHistory& left,
                             AdpcmHistory& right, int16_t* out);
