// MovieContext: the movie being converted. The selection numbers (file,
// channel, search window) are also those of the XA conversion and the viewer.
#pragma once

#include <cstdint>

struct MovieContext {
  uint32_t search_window = 75;   // -search:
  uint32_t file_number = 1;      // -file:
  uint32_t channel_number = 1;   // -channel:
  int32_t frame_counter = 0;     // frame being assembled; 0 before the first
  int32_t max_chunks = 0;        // largest chunks per frame since the last reset
  uint32_t frame_start_sector = 0;
  uint32_t chunks_per_frame = 0;
  uint32_t picture_width = 0;    // rounded up to a multiple of 16
  uint32_t picture_height = 0;
  uint32_t macroblock_count = 0;
  uint32_t version = 0;          // 1 is stored as 2
  uint32_t quant_scale = 0;
  // Per-frame buffers and the open AVI are added by the conversion code.
};

extern MovieContext movie;
