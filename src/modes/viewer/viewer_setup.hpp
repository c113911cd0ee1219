// Viewer set-up: the streams, frame rate and sound format, the ring and
// buffers, the routine choice, the window, display mode, surfaces and the
// sound buffer. Every failure ends the process.
#pragma once

#include <cstdint>

#include "format/disc/xa_sector.hpp"

void viewer_setup();

// Display size for a picture: 320x240 when it fits and the settings allow
// that mode, else 640x480 (and then a picture that does not fit 320x240
// switches the filter off).
void choose_display_size(uint32_t width, uint32_t height, int32_t display_mode, int32_t mode_x,
                         int32_t& filter, uint32_t* wanted_width, uint32_t* wanted_height);

// Frame rate chosen from the chunks per frame of the first frame.
int32_t frame_rate_for_chunks(uint32_t chunks);

// Sectors between audio sectors for a sound format at double speed: 8 for
// 37800 Hz 4-bit stereo, twice that for mono or 18900 Hz, half for 8-bit.
uint32_t audio_interval_for(uint32_t rate, uint32_t channels, uint32_t bits);
