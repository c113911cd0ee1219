// Fuzz target: the XA ADPCM decoders. Input: one byte (bit 0: stereo), then
// the sound data of successive audio sectors, 2304 bytes each (a short last
// piece is padded with zeros), decoded with the histories carried from
// sector to sector (the run's input limit keeps it to one sector, whose 18
// sound groups already carry the history along): by the conversion's
// decoder, and by the viewer's with its plain and its SIMD sound-unit
// routine, which must agree exactly.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "viewer/routine_table.hpp"
#include "viewer/sound_stream.hpp"
#include "xa/adpcm_decoder.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return -1;
  const bool stereo = (data[0] & 1) != 0;
  const uint32_t channels = stereo ? 2 : 1;
  ++data;
  --size;

  AdpcmHistory left, right, plain_left, plain_right, simd_left, simd_right;
  static int16_t samples[kSamplesPerSector], plain[kSamplesPerSector], simd[kSamplesPerSector];
  uint8_t sector[kSoundDataBytes];
  for (size_t at = 0; at < size; at += kSoundDataBytes) {
    const size_t piece = size - at < kSoundDataBytes ? size - at : kSoundDataBytes;
    std::memset(sector, 0, sizeof sector);
    std::memcpy(sector, data + at, piece);
    if (stereo)
      decode_xa_stereo(sector, left, right, samples);
    else
      decode_xa_mono(sector, left, samples);
    decode_viewer_sound_sector(sector, channels, plain_left, plain_right, viewer_sound_unit_plain,
                               plain);
    decode_viewer_sound_sector(sector, channels, simd_left, simd_right, viewer_sound_unit_mmx, simd);
    if (std::memcmp(plain, simd, sizeof plain) != 0) std::abort();
  }
  return 0;
}
