// Where a movie's sound goes against its pictures in an AVI. Both play as
// the disc delivers them: a frame shows the moment its last video sector
// has been read, a sound sector plays from the moment it is read, both at
// the movie's sector rate. Sound read before the first frame shows makes the
// picture stream start late (by whole frames, through its stream header);
// sound read after it is preceded by silence of the exact length.
#pragma once

#include <cstdint>

#include "format/timing/movie_rate.hpp"

// Frames the picture stream starts late, rounded to the nearest frame: the
// time from the first sound sector to the last video sector of the first
// frame, when the sound comes first; 0 otherwise.
uint32_t video_start_frames(uint32_t first_frame_last_sector, uint32_t first_sound_sector,
                            uint32_t sectors_per_second, const FrameRate& rate);

// Sample frames of silence before the first sound sector's samples: the
// time from the first frame's last video sector to the first sound sector,
// when the frame comes first; 0 otherwise.
uint64_t leading_silence_frames(uint32_t first_frame_last_sector, uint32_t first_sound_sector,
                                uint32_t sectors_per_second, uint32_t sample_rate);
