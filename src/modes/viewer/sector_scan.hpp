// The viewer's sector scan and the STR header test it shares with set-up.
#pragma once

#include <cstdint>

// Moves current_sector to just past the next video sector of the stream
// (copied to sector_buffer) and returns 1; audio sectors met on the way go
// to the sound path, and missing ones become silent blocks. 0 when the
// search window or the range ends first, or the sound path fails.
int next_stream_sector();

// Frame-opening test of a video sector's user data: status nibble 6 and
// sector type 0x8001.
bool str_header_valid(const uint8_t* user_data);

// STR sector header fields (offsets into a video sector's user data).
constexpr int kStrStatusOffset = 0;
constexpr int kStrTypeOffset = 2;
constexpr int kStrChunkCountOffset = 6;
constexpr int kStrWidthOffset = 16;
constexpr int kStrHeightOffset = 18;
constexpr int kStrHeaderBytes = 32;
constexpr uint16_t kStrSectorType = 0x8001;
constexpr uint8_t kStrStatusNibble = 6;
