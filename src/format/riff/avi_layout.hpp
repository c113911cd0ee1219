// The byte layout of the AVI files korvane writes: the 2048-byte header
// (provisional, then completed), the "00db" frame chunks, the "idx1" index
// of the plain layout (one picture stream in one RIFF).
#pragma once

#include <cstdint>

#include "format/timing/movie_rate.hpp"

constexpr int kAviHeaderBytes = 2048;

constexpr int kAviChunkHeaderBytes = 8;      // identifier and size
constexpr int kAviIndexEntryBytes = 16;
constexpr uint32_t kAviFourccBytes = 4;
constexpr uint32_t kAviMoviTypeOffset = 2044;  // the "movi" list type; index offsets count from it
constexpr uint32_t kAviRiffHeaderBytes = 8;    // "RIFF" and its size are not counted in it

// Zeros and every constant field.
void build_provisional_avi_header(uint8_t* header);

struct AviTotals {
  uint32_t width = 0, height = 0;   // of the last frame
  uint32_t frames = 0;
  FrameRate rate;                   // rate 0: none (the header says 0)
  uint32_t riff_size = 0;           // file length - 8
  uint32_t movi_size = 0;           // from the "movi" type to the end of the last frame chunk
};

// Fills the fields that depend on the finished movie.
void complete_avi_header(uint8_t* header, const AviTotals& totals);

void build_avi_index_entry(uint8_t* entry, uint32_t offset, uint32_t size);
void build_avi_chunk_header(uint8_t* chunk_header, const char* fourcc, uint32_t size);

// Whether a RIFF of this length (from its "RIFF" on) can still carry its
// size in 32 bits, or within `largest_size`.
inline bool avi_length_fits(uint64_t length, uint64_t largest_size = UINT32_MAX) {
  return length - kAviRiffHeaderBytes <= largest_size;
}
