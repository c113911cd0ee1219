// Where the analysis goes on after a movie: 15 sectors before the point where
// its walk stopped, so that a movie starting right there is found, but never
// at or before the movie's own first sector, which would be found again and
// again.
#pragma once

#include <cstdint>

constexpr int32_t kResumeBacktrack = 15;

// Kernel. The next sector the scan examines after the movie that starts at
// first and whose walk stopped at stop.
inline int32_t resume_sector(int32_t first, int32_t stop) {
  const int64_t back = static_cast<int64_t>(stop) - kResumeBacktrack;
  return back > first ? static_cast<int32_t>(back) : first + 1;
}
