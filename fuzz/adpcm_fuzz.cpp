// Fuzz target: the XA ADPCM decoders. Input: one byte (bit 0: stereo), then
// sound data. A whole sector's 2304 bytes go through the sector decoders (the
// conversion's, and the viewer's with its plain and its SIMD sound-unit
// routine, which must agree exactly); a shorter input is decoded sound group
// by sound group through the same unit decoders, with the histories carried
// from group to group as in a sector, so short inputs cost little and the
// fuzzer can run many more of them. Any trailing partial group is padded
// with zeros.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "format/viewer/routine_table.hpp"
#include "format/xa/adpcm_decoder.hpp"
#include "modes/viewer/sound_stream.hpp"

namespace {

struct Channels {
  AdpcmHistory left, right;
};

// Decodes one sound group's units with one unit routine: mono takes every
// unit with the left history, stereo the even units with the left and the
// odd units with the right.
void decode_group(const uint8_t* group, bool stereo, Channels& histories,
                  void (*unit_routine)(AdpcmUnitState&), int16_t* out) {
  AdpcmUnitState state;
  state.group = group;
  state.out = out;
  for (int unit = 0; unit < kUnitsPerGroup; ++unit) {
    state.unit = unit;
    state.history = (stereo && (unit & 1)) ? &histories.right : &histories.left;
    unit_routine(state);
  }
}

void decode_sectors(const uint8_t* data, size_t size, bool stereo) {
  const uint32_t channels = stereo ? 2 : 1;
  Channels conversion, plain, simd;
  static int16_t samples[kSamplesPerSector], plain_out[kSamplesPerSector],
      simd_out[kSamplesPerSector];
  for (size_t at = 0; at + kSoundDataBytes <= size; at += kSoundDataBytes) {
    const uint8_t* sector = data + at;
    if (stereo)
      decode_xa_stereo(sector, conversion.left, conversion.right, samples);
    else
      decode_xa_mono(sector, conversion.left, samples);
    decode_viewer_sound_sector(sector, channels, kXaBits4, plain.left, plain.right, viewer_sound_unit_plain,
                               plain_out);
    decode_viewer_sound_sector(sector, channels, kXaBits4, simd.left, simd.right, viewer_sound_unit_mmx,
                               simd_out);
    if (std::memcmp(plain_out, simd_out, sizeof plain_out) != 0) std::abort();
  }
}

void decode_groups(const uint8_t* data, size_t size, bool stereo) {
  Channels conversion, plain, simd;
  int16_t samples[kUnitsPerGroup * kSamplesPerUnit], plain_out[kUnitsPerGroup * kSamplesPerUnit],
      simd_out[kUnitsPerGroup * kSamplesPerUnit];
  uint8_t group[kSoundGroupBytes];
  for (size_t at = 0; at < size; at += kSoundGroupBytes) {
    const size_t piece = size - at < kSoundGroupBytes ? size - at : kSoundGroupBytes;
    std::memset(group, 0, sizeof group);
    std::memcpy(group, data + at, piece);
    decode_group(group, stereo, conversion, decode_sound_unit, samples);
    decode_group(group, stereo, plain, viewer_sound_unit_plain, plain_out);
    decode_group(group, stereo, simd, viewer_sound_unit_mmx, simd_out);
    if (std::memcmp(plain_out, simd_out, sizeof plain_out) != 0) std::abort();
    if (std::memcmp(&plain.left, &simd.left, sizeof plain.left) != 0 ||
        std::memcmp(&plain.right, &simd.right, sizeof plain.right) != 0)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return -1;
  const bool stereo = (data[0] & 1) != 0;
  ++data;
  --size;
  if (size >= static_cast<size_t>(kSoundDataBytes))
    decode_sectors(data, size, stereo);
  else
    decode_groups(data, size, stereo);
  return 0;
}
