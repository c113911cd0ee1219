// XaStream: the XA audio stream being converted: its interleave (one audio
// sector in so many), sample rate, channel count, sample width and coding;
// and the ADPCM histories that carry over from sector to sector.
#pragma once

#include <cstdint>

#include "format/xa/adpcm_decoder.hpp"

struct XaStream {
  int32_t interleave = 0;
  int32_t sample_rate = 0;
  int32_t channel_count = 0;
  uint32_t bits_per_sample = 0;  // 4 or 8
  // The coding bits (rate, channels, sample width) every sector of the
  // stream shares: a sector coded otherwise belongs to another stream and
  // ends this one. -1 while the first sector is sought.
  int32_t coding = -1;
};
extern XaStream xa_stream;

extern AdpcmHistory adpcm_left;   // mono, or the left channel
extern AdpcmHistory adpcm_right;  // the right channel
