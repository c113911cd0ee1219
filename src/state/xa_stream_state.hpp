// XaStream: the XA audio stream being converted: its interleave (one audio
// sector in so many), sample rate and channel count.
#pragma once

#include <cstdint>

struct XaStream {
  int32_t interleave = 0;
  int32_t sample_rate = 0;
  int32_t channel_count = 0;
};
extern XaStream xa_stream;
