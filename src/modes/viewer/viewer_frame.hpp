// Decoding the oldest frame of the ring and drawing it into the picture
// surface.
#pragma once

// 0, or -1 when the picture surface cannot be locked or unlocked. A damaged
// bitstream ends the process (-9).
int decode_and_draw_frame();
