// One XA audio sector to 16-bit little-endian PCM in the WAV file: 4032
// samples from a 4-bit sector, 2016 from an 8-bit one.
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
  XaCoding coding{};
  coding.channels = static_cast<uint32_t>(xa_stream.channel_count);
  coding.bits = xa_stream.bits_per_sample;
  const int count = decode_xa_sector_samples(data, coding, adpcm_left, adpcm_right, samples);
  for (int i = 0; i < count; ++i) {
    put_le16(pcm_bytes + 2 * i, static_cast<uint16_t>(samples[i]));
  }
  wav_write(pcm_bytes, static_cast<size_t>(count) * 2);
}

void reset_adpcm_history() {
  adpcm_left = AdpcmHistory{};
  adpcm_right = AdpcmHistory{};
}
