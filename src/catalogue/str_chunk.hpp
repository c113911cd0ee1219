// Tests on STR video sectors made while walking a movie without decoding it:
// which sectors a walk accepts, whether a sector opens a movie, and whether
// it is a valid chunk 0 of the frame that is due. All take a sector in the
// 2336-byte form (subheader, then the user data with the STR header first).
#pragma once

#include <cstdint>

// STR sector header fields, offsets into the user data.
constexpr int kStrStatusOffset = 0;        // 16 bits; the low byte's high nibble is 6
constexpr int kStrTypeOffset = 2;          // 16 bits; 0x8001 for video
constexpr int kStrChunkOffset = 4;         // 16 bits; index of the chunk in its frame
constexpr int kStrChunkCountOffset = 6;    // 16 bits; chunks of this frame
constexpr int kStrFrameOffset = 8;         // 32 bits; 1 for a movie's first frame

constexpr uint8_t kStrStatusNibbleMask = 0xF0;
constexpr uint8_t kStrStatusNibble = 0x60;
constexpr uint16_t kStrVideoType = 0x8001;
constexpr uint32_t kFirstFrameNumber = 1;

enum class ChunkZero {
  opens_frame,   // chunk 0 of the expected frame
  bad_header,    // status nibble or sector type wrong
  misplaced,     // a chunk other than 0 where a frame should begin
  other_frame,   // chunk 0 of another frame: the movie has ended
};

// Kernel. Checks made in this order: status nibble, sector type, chunk
// number, frame number.
ChunkZero check_chunk_zero(const uint8_t* sector, uint32_t expected_frame);

// Kernel. The chunks-per-frame field.
uint16_t chunks_per_frame_of(const uint8_t* sector);

// Kernel. A video sector of the given file and channel.
bool is_walked_sector(const uint8_t* sector, uint32_t file_number, uint32_t channel_number);

// Kernel. A video sector that holds chunk 0 of frame 1: a movie starts here.
bool is_movie_start(const uint8_t* sector);
