// AviState: the AVI file between open_avi and finish_avi: the open stream,
// the 2048-byte header kept in memory, the chunks of the RIFF being written
// (for its index), and, once the file has gone on past its first RIFF, the
// super-index entries of each stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "format/riff/avi_layout.hpp"
#include "format/riff/avi_odml_layout.hpp"

// One chunk of the RIFF being written.
struct AviChunkEntry {
  uint32_t movi_offset = 0;  // of its identifier, from the RIFF's "movi" type
  uint32_t size = 0;         // data bytes
  uint32_t stream = 0;       // kAviVideoStream or kAviSoundStream
};

// What the placement of the sound needs to know, once the first sound
// chunk is written.
struct AviSoundSync {
  bool known = false;                 // a frame came before the first sound chunk
  uint32_t first_frame_last_sector = 0;
  uint32_t first_sound_sector = 0;
  uint32_t sectors_per_second = 0;
};

struct AviState {
  FILE* file = nullptr;
  uint8_t header[kAviHeaderBytes] = {};
  uint64_t position = 0;            // bytes written so far
  uint64_t chunks_end = 0;          // end of the last whole chunk
  uint32_t width = 0, height = 0;   // of the last frame written
  uint32_t frames = 0;              // frame chunks written, in every RIFF
  uint32_t first_riff_frames = 0;   // of them in the first RIFF
  std::vector<AviChunkEntry> chunks;  // of the RIFF being written
  // The sound stream, once the first sound chunk is written.
  bool has_sound = false;
  AviSoundFormat sound;
  uint64_t sound_frames = 0;        // sample frames written
  uint32_t sound_buffer = 0;        // bytes of the largest sound chunk
  AviSoundSync sync;
  // Past the first RIFF (the OpenDML form).
  uint64_t riff_limit = UINT32_MAX;  // largest RIFF size (lowered by tests)
  uint32_t riffs = 1;               // RIFFs begun
  uint64_t riff_start = 0;          // file offset of the current RIFF's "RIFF"
  uint64_t movi_type = 0;           // file offset of its "movi" type
  uint32_t first_riff_size = 0;
  uint32_t first_movi_size = 0;
  std::vector<AviChunkEntry> first_riff_chunks;  // indexed in the next RIFF
  std::vector<AviSuperIndexEntry> video_index;
  std::vector<AviSuperIndexEntry> sound_index;
};
