// The frame-rate patch of an AVI header that korvane wrote: the rate table
// and the rewrite of the three rate fields in the 2048-byte header.
#pragma once

#include <cstddef>
#include <cstdint>

// korvane's AVI files start with a header of this fixed size.
constexpr size_t kAviHeaderBytes = 2048;

// Microseconds per frame for a listed rate (30, 20, 15, 10), 0 otherwise.
uint32_t microseconds_per_frame(int32_t fps);

// Writes the rate into the header: microseconds per frame, the maximum
// bytes per second (height x width x fps x 3, wrapping at 32 bits) from the
// header's own width and height, and the picture stream's rate over a scale
// of 1; a picture stream that starts late has its start counted again at the
// new rate, so that its sound stays in place. Nothing of a sound stream is
// touched. Returns false and leaves the header alone when the rate is not
// listed.
bool patch_frame_rate(uint8_t* header, int32_t fps);

// Whether the header is that of an AVI korvane wrote: a RIFF "AVI " file
// whose "hdrl" list opens with the 56-byte "avih" chunk and whose "strl"
// list holds the video stream header, each where korvane puts it (the
// fields the patch writes lie in those two chunks).
bool is_korvane_avi_header(const uint8_t* header);

// The frame rate argument: white space and a sign may come first, then
// decimal digits up to the end of the text. Anything else (trailing text,
// no digits, a value beyond 32 bits) gives 0, which no table row has.
int32_t parse_rate_argument(const char* text);
