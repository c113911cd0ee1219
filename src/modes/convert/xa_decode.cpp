// One XA audio sector to 16-bit little-endian PCM in the WAV file: 4032
// samples from a 4-bit sector, 2016 from an 8-bit one.
#include "modes/convert/xa_decode.hpp"

#include "base/byte_order.hpp"
#include "state/xa_stream_state.hpp"

void decode_xa_sound(const uint8_t* data, const XaCoding& coding) {
  int16_t samples[kSamplesPerSector];
  uint8_t pcm[kPcmBytesPerSector];
  const int count = decode_xa_sector_samples(data, coding, adpcm_left, adpcm_right, samples);
  put_le16_array(pcm, samples, static_cast<size_t>(count));
  wav_write(pcm, static_cast<size_t>(count) * 2);
}

void reset_adpcm_history() {
  adpcm_left = AdpcmHistory{};
  adpcm_right = AdpcmHistory{};
}

WavFormat stream_wav_format() { return WavFormat{xa_stream.channel_count, xa_stream.sample_rate}; }

XaCoding stream_coding() {
  XaCoding coding{};
  coding.channels = static_cast<uint32_t>(xa_stream.channel_count);
  coding.bits = xa_stream.bits_per_sample;
  return coding;
}
