// CD frames in a CHD: each 2448 bytes (the 2352 bytes of the sector, then
// 96 of subcode), tracks padded to whole groups of four frames. The CD
// codecs compress the sector bytes and the subcode of a hunk apart; cdlz,
// cdzl and cdzs put before them one bit a frame (sync and parity to rebuild)
// and the compressed length of the sector part. This file splits such a
// hunk and puts the frames back together.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kCdFrameBytes = 2448;
constexpr int kCdFrameDataBytes = 2352;
constexpr int kCdSubcodeBytes = 96;
constexpr int kChdTrackPadding = 4;  // tracks start on a multiple of this many frames

struct CdHunkParts {
  const uint8_t* rebuild_flags = nullptr;  // bit f (LSB first) set: frame f gets sync and parity back
  size_t base_offset = 0;                  // the compressed sector bytes
  size_t base_length = 0;
  size_t subcode_offset = 0;  // the compressed subcode, to the end of the hunk
  size_t subcode_length = 0;
};

// Splits the compressed hunk of a cdlz, cdzl or cdzs codec. False when the
// lengths it gives do not fit the compressed bytes.
bool split_cd_hunk(const uint8_t* compressed, size_t length, uint32_t hunk_bytes, CdHunkParts* parts);

// Builds the hunk from the decompressed sector bytes (frames x 2352) and
// subcode (frames x 96); rebuild_flags may be nullptr (cdfl keeps every byte).
void assemble_cd_frames(const uint8_t* sector_bytes, const uint8_t* subcode, uint32_t frames,
                        const uint8_t* rebuild_flags, uint8_t* hunk);
