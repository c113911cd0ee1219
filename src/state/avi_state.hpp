// AviState: the AVI file between open_avi and finish_avi: the open stream,
// the 2048-byte header kept in memory, and the sizes of the frame chunks
// written so far (as runs of equal sizes, so a movie of one size needs one
// entry whatever its length).
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "format/riff/avi_layout.hpp"

struct AviFrameRun {
  uint32_t frame_bytes = 0;  // W x H x 3 of each frame of the run
  uint32_t count = 0;
};

struct AviState {
  FILE* file = nullptr;
  uint8_t header[kAviHeaderBytes] = {};
  uint64_t position = 0;            // bytes written so far
  uint64_t frames_end = 0;          // end of the last whole frame chunk
  uint32_t width = 0, height = 0;   // of the last frame written
  uint32_t frames = 0;              // frame chunks written
  std::vector<AviFrameRun> runs;
};
