// Playback control: reading frames ahead into the ring, the frame step,
// the page flip and the viewer clock, as the playback loop calls them.
#pragma once

#include <cstdint>

#include "platform/viewer_devices.hpp"

// 1: a frame went into the ring, or the ring moved on while draining;
// 0: the stream is over, or a frame-opening sector has a bad STR header.
int read_frame_ahead();

// Drops frames_to_skip frames, reads one more, decodes and draws the oldest
// frame of the ring. 0, or -1 when the stream is over or drawing failed.
int frame_step();

// Blit to the back buffer and flip: 0, or 1 when either fails.
int page_flip();

// Milliseconds since set-up began, unsigned 32-bit with wrap-around.
uint32_t viewer_ticks();

// The ring after a stream that ended during the preload with frames slots
// 0 .. frames - 1 filled: playback shows those frames, oldest first.
void rewind_ring_for_short_stream(int32_t frames);

// Source and destination of the page flip. display_mode 1 centres the
// picture (scale 2 with the filter); any other value stretches it to twice
// its size around the centre of a 640x480 display.
void flip_rectangles(int32_t display_mode, uint32_t scale, uint32_t width, uint32_t height,
                     uint32_t display_width, uint32_t display_height, Rect* source,
                     Rect* destination);

// Milliseconds between frames for a frame rate: 10, 20 and 30 have their
// own period, every other rate plays at 15 frames a second.
float frame_period_for(int32_t frame_rate);

// After the preload, with no -viewer: number: the movie's rate from the
// frames preloaded and the sound sectors among them (the same rule as the
// conversion's, with the viewer's table for movies made for it).
void choose_preloaded_rate();

// Milliseconds between frames: of the -viewer: number as frame_period_for
// has it, or 1000 / the rate chosen from the movie.
float viewer_frame_period();
