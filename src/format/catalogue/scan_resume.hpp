// Where the analysis goes on after a movie: right after the last video
// sector its walk took, so that a movie beginning there, on the same channel
// or another, is found; never at or before the movie's own first sector,
// which would be found again and again.
#pragma once

#include <cstdint>

// Kernel. The next sector the scan examines after the movie that starts at
// first and whose walk took last_video as its last video sector.
inline int32_t resume_sector(int32_t first, int32_t last_video) {
  return last_video >= first ? last_video + 1 : first + 1;
}
