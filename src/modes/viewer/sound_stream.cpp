// Writing decoded and silent blocks into the looping sound buffer, and
// starting the buffer with the first block after the preload.
#include "modes/viewer/sound_stream.hpp"

#include <cstring>

#include "format/disc/xa_sector.hpp"
#include "modes/convert/xa_decode.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "state/viewer_state.hpp"

namespace {

constexpr int kStereoHalfSamples = kSamplesPerSector / 2;  // 2016
constexpr int kUnitsPerChannel = kUnitsPerGroup / 2;

void decode_units(const uint8_t* groups, int first_unit, int unit_step, AdpcmHistory& history,
                  SoundUnitFn unit, int16_t* out) {
  AdpcmUnitState state;
  state.history = &history;
  state.out = out;
  for (int g = 0; g < kSoundGroupsPerSector; ++g) {
    state.group = groups + g * kSoundGroupBytes;
    for (int u = first_unit; u < kUnitsPerGroup; u += unit_step) {
      state.unit = u;
      unit(state);
    }
  }
}

// Locks the next block (restoring a lost buffer once), lets fill write it,
// unlocks, moves on, and starts the buffer when the preload is over.
template <typename Fill>
int write_block(Fill fill) {
  SoundDevice& sound = *viewer_backends.sound;
  SoundRegions regions;
  SoundLock result = sound.lock(viewer_sound.write_position, kSoundBlockBytes, &regions);
  if (result == SoundLock::Lost) {
    sound.restore();
    result = sound.lock(viewer_sound.write_position, kSoundBlockBytes, &regions);
  }
  if (result != SoundLock::Ok) return -1;
  fill(regions.first, regions.first_bytes);
  if (!sound.unlock(regions)) return -1;
  viewer_sound.write_position += kSoundBlockBytes;
  if (viewer_sound.write_position >= kSoundBufferBytes) viewer_sound.write_position = 0;
  if (viewer_clock.preloading == 0) {
    if (!sound.play_looping()) return -1;
    viewer_clock.preloading = 1;  // started once
  }
  return 0;
}

}  // namespace

void decode_viewer_sound_sector(const uint8_t* groups, uint32_t channels, AdpcmHistory& left,
                                AdpcmHistory& right, SoundUnitFn unit, int16_t* block) {
  if (channels == 1) {
    decode_units(groups, 0, 1, left, unit, block);
    return;
  }
  int16_t left_half[kStereoHalfSamples];
  int16_t right_half[kStereoHalfSamples];
  static_assert(kSoundGroupsPerSector * kUnitsPerChannel * kSamplesPerUnit == kStereoHalfSamples);
  decode_units(groups, 0, 2, left, unit, left_half);
  decode_units(groups, 1, 2, right, unit, right_half);
  for (int k = 0; k < kStereoHalfSamples; ++k) {
    block[2 * k] = left_half[k];
    block[2 * k + 1] = right_half[k];
  }
}

int write_sound_sector(const uint8_t* sector) {
  if (viewer_sound.enabled == 0) return 0;
  int16_t block[kSamplesPerSector];
  decode_viewer_sound_sector(sector + kSubheaderBytes, viewer_stream.sound_channels, adpcm_left,
                             adpcm_right, viewer_routines.viewer_sound_unit, block);
  return write_block([&](uint8_t* dest, uint32_t bytes) {
    // Little-endian 16-bit PCM, as many samples as the region holds.
    const uint32_t samples = bytes / 2 < kSamplesPerSector ? bytes / 2 : kSamplesPerSector;
    for (uint32_t i = 0; i < samples; ++i) {
      dest[2 * i] = static_cast<uint8_t>(block[i]);
      dest[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(block[i]) >> 8);
    }
  });
}

int write_silence_block() {
  if (viewer_sound.enabled == 0) return 0;
  return write_block([](uint8_t* dest, uint32_t bytes) { std::memset(dest, 0, bytes); });
}
