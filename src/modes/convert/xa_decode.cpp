// One XA audio sector to 8064 bytes of 16-bit little-endian PCM in the WAV file.
// Sectors flagged as 8-bit are decoded as 4-bit like all others.
#include "modes/convert/xa_decode.hpp"

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "io/wav_writer.hpp"
#include "modes/convert/xa_stream.hpp"

namespace {
int16_t samples[kSamplesPerSector];
uint8_t pcm_bytes[kPcmBytesPerSector];
}  // namespace

void decode_xa_sector(const uint8_t* sector) {
  const uint8_t* data = sector + kSubheaderBytes;
  if (xa_stream.channel_count == 1) {
    decode_xa_mono(data, adpcm_left, samples);
  } else {
    decode_xa_stereo(data, adpcm_left, adpcm_right, samples);
  }
  for (int i = 0; i < kSamplesPerSector; ++i) {
    put_le16(pcm_bytes + 2 * i, static_cast<uint16_t>(samples[i]));
  }
  wav_write(pcm_bytes, sizeof pcm_bytes);
}

void reset_adpcm_history() {
  adpcm_left = AdpcmHistory{};
  adpcm_right = AdpcmHistory{};
}
