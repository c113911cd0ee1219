// XA ADPCM decoding of whole sectors: the same samples and histories as a
// chain of decode_sound_unit calls, bit for bit, but with no call per unit,
// the shifted samples looked up in a table, the filter term on the path from
// one sample to the next rounded in one step, a stereo sector's two channels
// decoded in one loop so their two dependency chains overlap (the pairs are
// written interleaved straight away), and limiting in a loop of its own.
#include <algorithm>

#include "format/xa/adpcm_decoder.hpp"

namespace {

constexpr int32_t kSampleMax = 32767;
constexpr int32_t kSampleMin = -32768;

// Filter coefficients are in 1/256: a term is the product divided by 256,
// truncated toward zero. Where the product is negative, adding 255 before
// rounding down truncates toward zero; where it is zero, adding 255 changes
// nothing.
constexpr int kCoefficientBits = 8;
constexpr int64_t kCoefficientScale = int64_t{1} << kCoefficientBits;
constexpr int64_t kTowardZeroBias = kCoefficientScale - 1;
constexpr int64_t kFractionMask = ~kTowardZeroBias;

// The decoder below takes the sign of each product from the history value
// alone, which holds while k0 is never negative and k1 never positive.
constexpr bool coefficient_signs_fixed() {
  for (int f = 0; f < kAdpcmFilterCount; ++f)
    if (kAdpcmFilterK0[f] < 0 || kAdpcmFilterK1[f] > 0) return false;
  return true;
}
static_assert(coefficient_signs_fixed());

constexpr int kShiftCount = 16;
constexpr int kNibbleValues = 16;
constexpr int kByteValues = 256;
constexpr int kNibbleScale = 4096;  // a nibble sits in bits 12 to 15 of the 16-bit value
constexpr int kByteScale = 256;     // a byte in bits 8 to 15

// Every sample value a unit can hold, divided by 2^shift (successive
// truncating halvings equal one division truncating toward zero), and kept
// times 256, the scale of the filter products it is added to. A table row is
// chosen once a unit, so a sample costs a look-up.
template <int Values, int Scale>
struct ShiftedSamples {
  int32_t value[kShiftCount][Values] = {};
  constexpr ShiftedSamples() {
    for (int shift = 0; shift < kShiftCount; ++shift)
      for (int v = 0; v < Values; ++v) {
        const int sample = v < Values / 2 ? v : v - Values;  // two's complement
        value[shift][v] = sample * Scale / (1 << shift) * static_cast<int32_t>(kCoefficientScale);
      }
  }
};
constexpr ShiftedSamples<kNibbleValues, kNibbleScale> kShiftedNibbles;
constexpr ShiftedSamples<kByteValues, kByteScale> kShiftedBytes;

constexpr int kHighNibbleShift = 4;
constexpr int kLowNibbleMask = 0x0F;

// One channel while a unit is decoded: its parameters, the two last values
// before limiting, and the rounding bias of the last one.
struct Channel {
  int64_t p1 = 0;
  int64_t p2 = 0;
  int64_t p1_negative = 0;         // kTowardZeroBias when p1 < 0, else 0
  int64_t p1_negative_before = 0;  // the same for p2
  int64_t k0 = 0;
  int64_t k1 = 0;
  int shift = 0;

  void start_unit(const uint8_t* group, int unit) {
    AdpcmUnitState state;
    state.group = group;
    state.unit = unit;
    load_unit_parameters(state);
    k0 = state.k0;
    k1 = state.k1;
    shift = state.shift;
  }

  // One sample from its shifted value times 256:
  //   s = t + trunc(k0 p1 / 256) + trunc(k1 p2 / 256).
  // With k1 <= 0, k1 p2 is negative only when p2 > 0: the second term times
  // 256 is (k1 p2 + bias2) with the fraction bits cleared. The first term, on
  // the path from one sample to the next, is folded into one floor shift:
  //   s = floor((k0 p1 + bias1 + 256 t + 256 trunc(k1 p2 / 256)) / 256).
  int32_t step(int32_t t_scaled) {
    const int64_t p2_positive = kTowardZeroBias ^ p1_negative_before;
    const int64_t second = (k1 * p2 + p2_positive) & kFractionMask;
    const int64_t s = (k0 * p1 + (t_scaled + second + p1_negative)) >> kCoefficientBits;
    p2 = p1;
    p1_negative_before = p1_negative;
    p1 = s;  // inside 32 bits: see kFastHistoryLimit
    p1_negative = (p1 >> 63) & kTowardZeroBias;
    return static_cast<int32_t>(s);
  }

  void load(const AdpcmHistory& history) {
    p1 = history.p1;
    p2 = history.p2;
    p1_negative = (p1 >> 63) & kTowardZeroBias;
    p1_negative_before = (p2 >> 63) & kTowardZeroBias;
  }
  void store(AdpcmHistory& history) const {
    history.p1 = static_cast<int32_t>(p1);
    history.p2 = static_cast<int32_t>(p2);
  }
};

// The byte holding sample i of the units of a group: a 4-bit group keeps
// two units a byte, an 8-bit group one.
inline uint8_t sample_byte(const uint8_t* group, int column, int i) {
  return group[kUnitSampleOffset + kUnitSampleRowBytes * i + column];
}

// A unit's shifted sample i, by the kind of unit: even 4-bit units hold the
// low nibble, odd ones the high nibble; 8-bit units the whole byte.
struct EvenNibbleUnit {
  static constexpr int kUnitsPerColumn = 2;
  static constexpr int kDown = 0;
  static constexpr int kMask = kLowNibbleMask;
  static const int32_t* row(int shift) { return kShiftedNibbles.value[shift]; }
};
struct OddNibbleUnit {
  static constexpr int kUnitsPerColumn = 2;
  static constexpr int kDown = kHighNibbleShift;
  static constexpr int kMask = kLowNibbleMask;
  static const int32_t* row(int shift) { return kShiftedNibbles.value[shift]; }
};
struct ByteUnit {
  static constexpr int kUnitsPerColumn = 1;
  static constexpr int kDown = 0;
  static constexpr int kMask = kByteValues - 1;
  static const int32_t* row(int shift) { return kShiftedBytes.value[shift]; }
};

// A unit's shifted sample from the byte that holds it.
template <typename Unit>
int32_t unit_sample(const int32_t* row, uint8_t byte) {
  return row[(byte >> Unit::kDown) & Unit::kMask];
}

// All units of the sector, group by group and unit by unit, into one channel.
template <typename EvenUnit, typename OddUnit, int Units>
void decode_mono(const uint8_t* data, AdpcmHistory& history, int32_t* out) {
  Channel channel;
  channel.load(history);
  for (int g = 0; g < kSoundGroupsPerSector; ++g) {
    const uint8_t* group = data + g * kSoundGroupBytes;
    for (int u = 0; u < Units; ++u) {
      channel.start_unit(group, u);
      const bool even = u % 2 == 0;
      const int32_t* row = even ? EvenUnit::row(channel.shift) : OddUnit::row(channel.shift);
      const int column = u / EvenUnit::kUnitsPerColumn;
      const int down = even ? EvenUnit::kDown : OddUnit::kDown;
      const int mask = even ? EvenUnit::kMask : OddUnit::kMask;
      for (int i = 0; i < kSamplesPerUnit; ++i)
        *out++ = channel.step(row[(sample_byte(group, column, i) >> down) & mask]);
    }
  }
  channel.store(history);
}

// Even units into the left channel, odd units into the right, a pair of
// units in one loop, written as interleaved pairs.
template <typename EvenUnit, typename OddUnit, int Units>
void decode_stereo(const uint8_t* data, AdpcmHistory& left_history, AdpcmHistory& right_history,
                   int32_t* out) {
  Channel left;
  Channel right;
  left.load(left_history);
  right.load(right_history);
  for (int g = 0; g < kSoundGroupsPerSector; ++g) {
    const uint8_t* group = data + g * kSoundGroupBytes;
    for (int u = 0; u < Units; u += 2) {
      left.start_unit(group, u);
      right.start_unit(group, u + 1);
      const int32_t* left_row = EvenUnit::row(left.shift);
      const int32_t* right_row = OddUnit::row(right.shift);
      const int left_column = u / EvenUnit::kUnitsPerColumn;
      const int right_column = (u + 1) / OddUnit::kUnitsPerColumn;
      for (int i = 0; i < kSamplesPerUnit; ++i) {
        out[0] = left.step(unit_sample<EvenUnit>(left_row, sample_byte(group, left_column, i)));
        out[1] = right.step(unit_sample<OddUnit>(right_row, sample_byte(group, right_column, i)));
        out += 2;
      }
    }
  }
  left.store(left_history);
  right.store(right_history);
}

// Why a value always fits in 32 bits here: each filter is stable, and over
// any two units in a row, whatever their filters, what the history brings
// shrinks at least sixfold, while a unit's samples add at most 67 times
// their size (filter 2's gain). So the histories that decoding carries from
// one sector to the next stay below 2^23, and from histories below 2^24 no
// value inside a sector reaches 2^28. Histories further out, which only a
// caller could hand in, take the unit-by-unit path, whose 32-bit history
// wraps as it always has.
constexpr int64_t kFastHistoryLimit = int64_t{1} << 24;

bool fits_fast_path(const AdpcmHistory& history) {
  const auto small = [](int64_t v) { return v >= -kFastHistoryLimit && v <= kFastHistoryLimit; };
  return small(history.p1) && small(history.p2);
}

// The values limited to 16 bits, in a loop of its own that the compiler turns
// into vector instructions.
template <int Count>
void limit_samples(const int32_t* values, int16_t* out) {
  for (int i = 0; i < Count; ++i)
    out[i] = static_cast<int16_t>(std::clamp(values[i], kSampleMin, kSampleMax));
}

// The unit-by-unit path: one channel after the other, then interleaved.
void decode_by_units(const uint8_t* data, int units, SoundUnitDecoder unit_fn, bool stereo,
                     AdpcmHistory& left, AdpcmHistory& right, int16_t* out) {
  if (!stereo) {
    decode_sound_units(data, units, 0, 1, left, unit_fn, out);
    return;
  }
  const int pairs = units * kSoundGroupsPerSector * kSamplesPerUnit / 2;
  int16_t halves[2][kSamplesPerSector / 2];
  decode_sound_units(data, units, 0, 2, left, unit_fn, halves[0]);
  decode_sound_units(data, units, 1, 2, right, unit_fn, halves[1]);
  for (int k = 0; k < pairs; ++k) {
    out[2 * k] = halves[0][k];
    out[2 * k + 1] = halves[1][k];
  }
}

// The two kinds of sound group: their units and the unit-by-unit decoder.
struct FourBitGroups {
  using EvenUnit = EvenNibbleUnit;
  using OddUnit = OddNibbleUnit;
  static constexpr int kUnits = kUnitsPerGroup;
  static constexpr SoundUnitDecoder kUnitDecoder = decode_sound_unit;
};
struct EightBitGroups {
  using EvenUnit = ByteUnit;
  using OddUnit = ByteUnit;
  static constexpr int kUnits = kUnitsPerGroup8Bit;
  static constexpr SoundUnitDecoder kUnitDecoder = decode_sound_unit_8bit;
};

// One sector of 4- or 8-bit sound, mono or stereo.
template <typename Groups, bool Stereo>
void decode_sector(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right, int16_t* out) {
  using EvenUnit = typename Groups::EvenUnit;
  using OddUnit = typename Groups::OddUnit;
  constexpr int kUnits = Groups::kUnits;
  if (!fits_fast_path(left) || (Stereo && !fits_fast_path(right))) {
    decode_by_units(data, kUnits, Groups::kUnitDecoder, Stereo, left, right, out);
    return;
  }
  constexpr int kSamples = kUnits * kSoundGroupsPerSector * kSamplesPerUnit;
  int32_t values[kSamples];
  if constexpr (Stereo)
    decode_stereo<EvenUnit, OddUnit, kUnits>(data, left, right, values);
  else
    decode_mono<EvenUnit, OddUnit, kUnits>(data, left, values);
  limit_samples<kSamples>(values, out);
}

}  // namespace

void decode_xa_mono(const uint8_t* data, AdpcmHistory& history, int16_t* out) {
  decode_sector<FourBitGroups, false>(data, history, history, out);
}

void decode_xa_stereo(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                      int16_t* out) {
  decode_sector<FourBitGroups, true>(data, left, right, out);
}

void decode_xa_mono_8bit(const uint8_t* data, AdpcmHistory& history, int16_t* out) {
  decode_sector<EightBitGroups, false>(data, history, history, out);
}

void decode_xa_stereo_8bit(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                           int16_t* out) {
  decode_sector<EightBitGroups, true>(data, left, right, out);
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
