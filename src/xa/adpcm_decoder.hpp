// XA ADPCM decoding of one audio sector: 18 sound groups of 128 bytes, each
// holding 8 sound units of 28 four-bit samples. Pure kernels: the caller owns
// the histories and the output buffer.
#pragma once

#include <cstdint>

constexpr int kSoundGroupsPerSector = 18;
constexpr int kSoundGroupBytes = 128;
constexpr int kUnitsPerGroup = 8;
constexpr int kSamplesPerUnit = 28;
constexpr int kSamplesPerSector = kSoundGroupsPerSector * kUnitsPerGroup * kSamplesPerUnit;  // 4032
constexpr int kPcmBytesPerSector = kSamplesPerSector * 2;                                   // 8064
constexpr int kSoundDataBytes = kSoundGroupsPerSector * kSoundGroupBytes;                   // 2304

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

// Sets shift and coefficients from the unit's parameter byte, then decodes the
// unit's 28 samples into state.out, carrying state.history.
void decode_sound_unit(AdpcmUnitState& state);

// One sector's sound data (2304 bytes from the data start) to 4032 mono
// samples, group by group and unit by unit.
void decode_xa_mono(const uint8_t* data, AdpcmHistory& history, int16_t* out);

// One sector's sound data to 2016 interleaved pairs: left from the even
// units, right from the odd units.
void decode_xa_stereo(const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                      int16_t* out);
