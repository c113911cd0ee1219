// A CHD file of a CD opened for reading frames: its header, hunk map and
// track list, and a small cache of decompressed hunks so that a sequential
// read decompresses each hunk once. Hunks are checked against their CRC.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "format/image/chd_header.hpp"
#include "format/image/chd_map.hpp"
#include "format/image/disc_tracks.hpp"

constexpr int kChdCacheHunks = 4;

struct ChdImage {
  FILE* file = nullptr;  // not owned
  uint64_t file_size = 0;
  ChdHeader header;
  std::vector<ChdHunk> hunks;
  std::vector<DiscTrack> tracks;
  struct CachedHunk {
    uint32_t hunk = UINT32_MAX;  // none
    uint64_t last_use = 0;
    std::vector<uint8_t> bytes;
  };
  std::array<CachedHunk, kChdCacheHunks> cache;
  uint64_t clock = 0;
  std::vector<uint8_t> compressed, sector_part, subcode_part;  // scratch of one hunk
  uint64_t hunks_decoded = 0;   // hunks decompressed so far
  uint64_t frames_rebuilt = 0;  // frames whose sync and parity were computed again
};

// Reads the header, the map and the track list of an open file. Returns
// nullptr, or why the file cannot be read as a CD image; *needs_parent is
// set when the reason is a parent CHD.
const char* open_chd_image(FILE* file, ChdImage* image, bool* needs_parent);

// The 2448 bytes of CHD frame `frame` (sector bytes, then subcode), valid
// until the next call. Returns nullptr or the fault.
const char* read_chd_frame(ChdImage& image, uint64_t frame, const uint8_t** bytes);
