// What the conversion does for each frame it delivers, whichever thread
// decoded it: the progress line, and the picture of MovieContext handed to
// the writer of the output (numbered BMP files or the open AVI file, with
// -with-sound the stream's sound read before the frame ahead of it).
#pragma once

#include <cstdint>

#include "modes/convert/convert_movie.hpp"

// "convert block %08x/%08x (frame = %d)\r": the sector after the frame's
// last chunk, the end of the range, the frame number.
void print_frame_progress(uint32_t sector_after, uint32_t end_sector, int32_t frame_number);
// The picture to its writer (its sound, if any, is written before it).
void write_converted_frame(MovieOutput output);

// The frame assembly has just delivered, on this thread: its progress line,
// its picture, and the writer.
void convert_assembled_frame(MovieOutput output);
