// One XA audio sector to 16-bit little-endian PCM in the WAV file: 4032
// samples from a 4-bit sector, 2016 from an 8-bit one.
#include "modes/convert/xa_decode.hpp"

#include "base/byte_order.hpp"
#include "state/xa_stream_state.hpp"

size_t decode_xa_pcm(const uint8_t* data, const XaCoding& coding, AdpcmHistory& left, AdpcmHistory& right,
                     uint8_t* pcm) {
  int16_t samples[kSamplesPerSector];
  const int count = decode_xa_sector_samples(data, coding, left, right, samples);
  put_le16_array(pcm, samples, static_cast<size_t>(count));
  return static_cast<size_t>(count) * 2;
}

void decode_xa_sound(const uint8_t* data, const XaCoding& coding) {
  uint8_t pcm[kPcmBytesPerSector];
  wav_write(pcm, decode_xa_pcm(data, coding, adpcm_left, adpcm_right, pcm));
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
