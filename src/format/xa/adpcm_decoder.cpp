// XA ADPCM sound units: shift, prediction filter and limiting, with the
// history carrying the value before limiting.
#include "format/xa/adpcm_decoder.hpp"

namespace {

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

}  // namespace

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
