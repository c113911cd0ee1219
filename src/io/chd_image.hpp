// A CHD file of a CD opened for reading frames: its header, hunk map and
// track list, and the cache of its decompressed hunks (which decompresses
// ahead of a sequential read). Hunks are checked against their CRC.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "format/image/chd_header.hpp"
#include "format/image/chd_map.hpp"
#include "format/image/disc_tracks.hpp"
#include "io/chd_hunk_cache.hpp"

struct ChdImage {
  FILE* file = nullptr;  // not owned
  uint64_t file_size = 0;
  ChdHeader header;
  std::vector<ChdHunk> hunks;
  std::vector<DiscTrack> tracks;
  // The hunk the last frame came from, and its bytes (valid until the cache is asked again).
  uint32_t last_hunk = UINT32_MAX;
  const uint8_t* last_bytes = nullptr;
  std::vector<uint32_t> ahead;  // scratch: the hunks a sequential read needs next
  // Made at the first read; its helper thread decompresses from the fields
  // above, so it is the last member and stops before they go.
  std::unique_ptr<ChdHunkCache> cache;
};

// Reads the header, the map and the track list of an open file. Returns
// nullptr, or why the file cannot be read as a CD image; *needs_parent is
// set when the reason is a parent CHD.
const char* open_chd_image(FILE* file, ChdImage* image, bool* needs_parent);

// Stops the read-ahead and forgets the image.
void close_chd_image(ChdImage* image);

// The 2448 bytes of CHD frame `frame` (sector bytes, then subcode), valid
// until the next call. Returns nullptr or the fault.
const char* read_chd_frame(ChdImage& image, uint64_t frame, const uint8_t** bytes);

// Hunks decompressed so far, and frames whose sync and parity were computed again.
uint64_t chd_hunks_decoded(ChdImage& image);
uint64_t chd_frames_rebuilt(ChdImage& image);
