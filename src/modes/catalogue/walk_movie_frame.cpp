// The analysis walk over one frame of a movie: the frame assembly's sector
// acceptance and chunk-0 checks, without copying the frame's data (the
// sector usage map is never marked during an analysis). The last video
// sector taken is kept for the analysis to resume after.
#include <cstddef>

#include "io/sector_source.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "state/movie_context.hpp"

bool walk_movie_frame() {
  ++movie.frame_counter;
  if (!find_video_sector()) return false;
  if (!check_frame_header()) return false;
  movie.last_video_sector = current_sector++;
  for (size_t chunk = 1; chunk < movie.chunks_per_frame; ++chunk) {
    if (current_sector >= end_sector) return false;
    if (!find_video_sector()) return false;
    movie.last_video_sector = current_sector++;
  }
  return true;
}
