// XaStream: the XA audio stream being converted: its interleave (one audio
// sector in so many), sample rate and channel count; and the ADPCM histories
// that carry over from sector to sector.
#pragma once

#include <cstdint>

#include "format/xa/adpcm_decoder.hpp"

struct XaStream {
  int32_t interleave = 0;
  int32_t sample_rate = 0;
  int32_t channel_count = 0;
};
extern XaStream xa_stream;

extern AdpcmHistory adpcm_left;   // mono, or the left channel
extern AdpcmHistory adpcm_right;  // the right channel
