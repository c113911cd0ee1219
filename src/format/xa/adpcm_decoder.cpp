// XA ADPCM sound units: shift, prediction filter and limiting, with the
// history carrying the value before limiting.
#include "format/xa/adpcm_decoder.hpp"

namespace {

// Prediction filters, in units of 1/256. Only these four exist.
constexpr int kFilterCount = 4;
constexpr int32_t kFilterK0[kFilterCount] = {0, 240, 460, 392};
constexpr int32_t kFilterK1[kFilterCount] = {0, 0, -208, -220};
constexpr int kFilterShift = 4;
constexpr int kShiftMask = 0x0F;

constexpr int32_t kSampleMax = 32767;
constexpr int32_t kSampleMin = -32768;

// The nibble placed in bits 12 to 15 of a signed 16-bit value.
inline int32_t nibble_to_sample(int nibble) {
  return (nibble < 8 ? nibble : nibble - 16) * 4096;
}

// A signed byte placed in bits 8 to 15 of a 16-bit value.
constexpr int32_t kByteScale = 256;

// t divided by 2 to the power shift, in four truncating steps.
inline int32_t apply_shift(int32_t t, int shift) {
  if (shift & 1) t /= 2;
  if (shift & 2) t /= 4;
  if (shift & 4) t /= 16;
  if (shift & 8) t /= 256;
  return t;
}

// The 28 samples of one unit; sample(i) gives sample i placed in the top
// bits of a 16-bit value, before the shift.
template <typename Sample>
void decode_unit_samples(AdpcmUnitState& state, Sample sample) {
  load_unit_parameters(state);
  int32_t p1 = state.history->p1;
  int32_t p2 = state.history->p2;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const int32_t t = apply_shift(sample(i), state.shift);
    // The filters are stable, so the unlimited history stays far inside 32
    // bits; the sum is formed in 64 bits only so no input can overflow it.
    const int64_t s = static_cast<int64_t>(t) + (static_cast<int64_t>(state.k0) * p1) / 256 +
                      (static_cast<int64_t>(state.k1) * p2) / 256;
    const int64_t limited = s > kSampleMax ? kSampleMax : (s < kSampleMin ? kSampleMin : s);
    *state.out++ = static_cast<int16_t>(limited);
    p2 = p1;
    p1 = static_cast<int32_t>(s);
  }
  state.history->p1 = p1;
  state.history->p2 = p2;
}

void interleave(const int16_t* left, const int16_t* right, int pairs, int16_t* out) {
  for (int k = 0; k < pairs; ++k) {
    out[2 * k] = left[k];
    out[2 * k + 1] = right[k];
  }
}

}  // namespace

void load_unit_parameters(AdpcmUnitState& state) {
  const uint8_t parameter = state.group[kUnitParameterOffset + state.unit];
  state.shift = parameter & kShiftMask;
  const int filter = (parameter >> kFilterShift) % kFilterCount;
  state.k0 = kFilterK0[filter];
  state.k1 = kFilterK1[filter];
}

void decode_sound_unit(AdpcmUnitState& state) {
  decode_unit_samples(state, [&](int i) { return nibble_to_sample(unit_nibble(state, i)); });
}

void decode_sound_unit_8bit(AdpcmUnitState& state) {
  decode_unit_samples(state, [&](int i) { return unit_byte(state, i) * kByteScale; });
}

void decode_sound_units(const uint8_t* data, int units, int first_unit, int step,
                        AdpcmHistory& history, SoundUnitDecoder unit_fn, int16_t* out) {
  AdpcmUnitState state;
  state.history = &history;
  state.out = out;
  for (int g = 0; g < kSoundGroupsPerSector; ++g) {
    state.group = data + g * kSoundGroupBytes;
    for (int u = first_unit; u < units; u += step) {
      state.unit = u;
      unit_fn(state);
    }
  }
}

void decode_xa_mono(const uint8_t* data, AdpcmHistory& history, int16_t* out) {
  decode_sound_units(data, kUnitsPerGroup, 0, 1, history, decode_sound_unit, out);
}

void decode_xa_stereo(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                      int16_t* out) {
  constexpr int kHalf = kSamplesPerSector / 2;
  int16_t halves[2][kHalf];
  decode_sound_units(data, kUnitsPerGroup, 0, 2, left, decode_sound_unit, halves[0]);
  decode_sound_units(data, kUnitsPerGroup, 1, 2, right, decode_sound_unit, halves[1]);
  interleave(halves[0], halves[1], kHalf, out);
}

void decode_xa_mono_8bit(const uint8_t* data, AdpcmHistory& history, int16_t* out) {
  decode_sound_units(data, kUnitsPerGroup8Bit, 0, 1, history, decode_sound_unit_8bit, out);
}

void decode_xa_stereo_8bit(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                           int16_t* out) {
  constexpr int kHalf = kSamplesPerSector8Bit / 2;
  int16_t halves[2][kHalf];
  decode_sound_units(data, kUnitsPerGroup8Bit, 0, 2, left, decode_sound_unit_8bit, halves[0]);
  decode_sound_units(data, kUnitsPerGroup8Bit, 1, 2, right, decode_sound_unit_8bit, halves[1]);
  interleave(halves[0], halves[1], kHalf, out);
}

int decode_xa_sector_samples(const uint8_t* data, const XaCoding& coding, AdpcmHistory& left,
                             AdpcmHistory& right, int16_t* out) {
  const bool mono = coding.channels == 1;
  if (coding.bits == kXaBits8) {
    if (mono)
      decode_xa_mono_8bit(data, left, out);
    else
      decode_xa_stereo_8bit(data, left, right, out);
    return kSamplesPerSector8Bit;
  }
  if (mono)
    decode_xa_mono(data, left, out);
  else
    decode_xa_stereo(data, left, right, out);
  return kSamplesPerSector;
}
