// The analysis walk over one frame of a movie: the frame assembly's sector
// acceptance and chunk-0 checks, without copying the frame's data.
#include <cstdint>

#include "catalogue/catalogue.hpp"
#include "catalogue/str_chunk.hpp"
#include "common/errors.hpp"
#include "disc/sector_source.hpp"
#include "movie/movie_context.hpp"

namespace {

constexpr char kBadHeader[] = "ヘッダが異常です.\n";
constexpr char kMisplacedChunk[] = "読み込み位置がずれてしまいました.\n";

// From current_sector, the next video sector of the movie's file and channel
// within the search window (and the input); it is left in sector_buffer with
// current_sector on it.
bool find_walked_sector() {
  int64_t limit = static_cast<int64_t>(current_sector) + movie.search_window;
  if (limit > end_sector) limit = end_sector;
  while (current_sector < end_sector && current_sector < limit) {
    read_sectors(current_sector, 1, sector_buffer);
    if (is_walked_sector(sector_buffer, movie.file_number, movie.channel_number)) return true;
    ++current_sector;
  }
  return false;
}

}  // namespace

bool walk_movie_frame() {
  ++movie.frame_counter;
  if (!find_walked_sector()) return false;
  switch (check_chunk_zero(sector_buffer, static_cast<uint32_t>(movie.frame_counter))) {
    case ChunkZero::bad_header:
      fatal_error(kErrConvert, kBadHeader);
    case ChunkZero::misplaced:
      fatal_error(kErrConvert, kMisplacedChunk);
    case ChunkZero::other_frame:
      return false;
    case ChunkZero::opens_frame:
      break;
  }
  movie.chunks_per_frame = chunks_per_frame_of(sector_buffer);
  ++current_sector;
  for (uint32_t chunk = 1; chunk < movie.chunks_per_frame; ++chunk) {
    if (current_sector >= end_sector) return false;
    if (!find_walked_sector()) return false;
    ++current_sector;
  }
  return true;
}
