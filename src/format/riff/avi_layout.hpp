// The byte layout of the AVI files korvane writes: the 2048-byte header
// (provisional, then completed), the "00db" frame chunks, the "idx1" index
// and the frame-rate table chosen by the largest number of sectors a frame.
#pragma once

#include <cstdint>

constexpr int kAviHeaderBytes = 2048;
constexpr int kAviChunkHeaderBytes = 8;      // identifier and size
constexpr int kAviIndexEntryBytes = 16;
constexpr uint32_t kAviFourccBytes = 4;
constexpr uint32_t kAviMoviTypeOffset = 2044;  // the "movi" list type; index offsets count from it
constexpr uint32_t kAviRiffHeaderBytes = 8;    // "RIFF" and its size are not counted in it

struct AviFrameRate {
  uint32_t rate;           // frames a second; 0: no row of the table applies
  uint32_t microseconds;   // per frame
};

// The first row whose bound max_chunks does not exceed (compared unsigned).
AviFrameRate avi_frame_rate(uint32_t max_chunks);

// Zeros and every constant field.
void build_provisional_avi_header(uint8_t* header);

struct AviTotals {
  uint32_t width = 0, height = 0;   // of the last frame
  uint32_t frames = 0;
  AviFrameRate rate = {0, 0};
  uint32_t riff_size = 0;           // file length - 8
  uint32_t movi_size = 0;           // from the "movi" type to the end of the last frame chunk
};

// Fills the fields that depend on the finished movie.
void complete_avi_header(uint8_t* header, const AviTotals& totals);

void build_avi_index_entry(uint8_t* entry, uint32_t offset, uint32_t size);
void build_avi_chunk_header(uint8_t* chunk_header, const char* fourcc, uint32_t size);

// Whether a file of this length can still carry its RIFF size in 32 bits.
inline bool avi_length_fits(uint64_t length) {
  return length - kAviRiffHeaderBytes <= UINT32_MAX;
}
