// The playback frame rate given with -viewer:. The other conversion numbers
// (-file:, -channel:, -search:) are fields of MovieContext.
#pragma once

#include <cstdint>

// Frames per second for playback; 0 lets the viewer determine it.
extern int32_t viewer_frame_rate;
