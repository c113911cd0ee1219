// One XA audio sector to 16-bit little-endian PCM in the WAV file: 4032
// samples from a 4-bit sector, 2016 from an 8-bit one.
#include "modes/convert/xa_decode.hpp"

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "io/wav_writer.hpp"
#include "modes/convert/xa_stream.hpp"

namespace {
uint8_t pcm_bytes[kPcmBytesPerSector];
}  // namespace

size_t decode_xa_pcm(const uint8_t* sector, uint8_t* pcm) {
  int16_t samples[kSamplesPerSector];
  const uint8_t* data = sector + kSubheaderBytes;
  const bool mono = xa_stream.channel_count == 1;
  int count = kSamplesPerSector;
  if (xa_stream.bits_per_sample == kXaBits8) {
    count = kSamplesPerSector8Bit;
    if (mono) {
      decode_xa_mono_8bit(data, adpcm_left, samples);
    } else {
      decode_xa_stereo_8bit(data, adpcm_left, adpcm_right, samples);
    }
  } else if (mono) {
    decode_xa_mono(data, adpcm_left, samples);
  } else {
    decode_xa_stereo(data, adpcm_left, adpcm_right, samples);
  }
  for (int i = 0; i < count; ++i) {
    put_le16(pcm + 2 * i, static_cast<uint16_t>(samples[i]));
  }
  return static_cast<size_t>(count) * 2;
}

void decode_xa_sector(const uint8_t* sector) { wav_write(pcm_bytes, decode_xa_pcm(sector, pcm_bytes)); }

void reset_adpcm_history() {
  adpcm_left = AdpcmHistory{};
  adpcm_right = AdpcmHistory{};
}
