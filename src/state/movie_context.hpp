// MovieContext: the movie being converted. The selection numbers (file,
// channel, search window) are also those of the XA conversion and the viewer.
// The per-frame buffers are kept from frame to frame and grow only when a
// frame needs more; the driver releases them when the movie ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/mdec/frame_decode.hpp"
#include "format/timing/movie_rate.hpp"
#include "state/avi_state.hpp"

struct FrameBuffers {
  uint8_t* bitstream = nullptr;     // chunks x 2016 bytes of the frame bitstream
  size_t bitstream_capacity = 0;
  size_t bitstream_bytes = 0;       // bytes assembled for the current frame
  int16_t* coefficients = nullptr;  // CoefficientBlocks: scan order, 6 blocks a macroblock
  int16_t* dequantised = nullptr;   // DequantisedBlocks: row-major
  double* transformed = nullptr;    // TransformedBlocks: row-major samples
  uint8_t* picture = nullptr;       // RgbPicture: 3 bytes a pixel, bottom row first (as written)
  uint32_t macroblock_capacity = 0;
};

struct MovieContext {
  uint32_t search_window = 75;   // -search:
  uint32_t file_number = 1;      // -file:
  uint32_t channel_number = 1;   // -channel:
  int32_t frame_counter = 0;     // frame being assembled; 0 before the first
  int32_t max_chunks = 0;        // largest chunks per frame since the last reset
  uint32_t frame_start_sector = 0;
  // Where the movie lies so far: chunk 0 of the last frame delivered, and the
  // last video sector taken (by a conversion or an analysis walk).
  int32_t last_frame_start = 0;
  int32_t last_video_sector = 0;
  uint32_t chunks_per_frame = 0;
  uint32_t picture_width = 0;    // rounded up to a multiple of 16
  uint32_t picture_height = 0;
  uint32_t macroblock_count = 0;
  uint32_t version = 0;          // 1 is stored as 2
  uint32_t quant_scale = 0;
  FrameBuffers frame;
  AviState avi;                  // the AVI being written with -avi
  RateEvidence rate_evidence;    // the movie's timing, gathered as it is read
};

extern MovieContext movie;

// The transform and colour routines of the conversion, chosen once at start-up
// (the plain ones until then).
extern ConversionRoutines conversion_routines;
