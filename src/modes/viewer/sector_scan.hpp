// The viewer's sector scan.
#pragma once

#include <cstdint>

// Moves current_sector to just past the next video sector of the stream
// (copied to sector_buffer) and returns 1; audio sectors met on the way go
// to the sound path, and missing ones become silent blocks. 0 when the
// search window or the range ends first, or the sound path fails.
int next_stream_sector();
