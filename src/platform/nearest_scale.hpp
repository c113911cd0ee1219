// Nearest-neighbour scaling of 32-bit pixels, for showing the viewer's small
// picture on a screen many times its size: a destination row is worked out
// pixel by pixel only when its source row changes; the rows that repeat a
// source row are copies of the row above.
#pragma once

#include <cstdint>

struct ScaleRect {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

// Scales rectangle `from` of the source into rectangle `to` of the
// destination (pitches in bytes), drawing only the part of `to` that lies in
// `clip`. `from` must lie inside the source; `clip` inside the destination.
void scale_nearest_32(const uint8_t* source, int32_t source_pitch, const ScaleRect& from, uint8_t* destination,
                      int32_t destination_pitch, const ScaleRect& to, const ScaleRect& clip);
