// Lookups in the movie table of the scan, and the test for a movie's first
// sector.
#include "modes/scan/movie_table.hpp"

#include "format/disc/xa_sector.hpp"
#include "format/mdec/str_header.hpp"

namespace {
constexpr uint32_t kFirstFrameNumber = 1;
}  // namespace

int linked_movie(const MovieSpan* movies, int count, int32_t sector) {
  for (int i = 0; i < count; ++i) {
    if (static_cast<int64_t>(movies[i].start) <= static_cast<int64_t>(sector) + 1 &&
        movies[i].end > sector) {
      return i;
    }
  }
  return -1;
}

int32_t movie_span_end(int32_t first, int32_t last_frame_start, int32_t frames, int32_t last_video,
                       int32_t stop) {
  if (frames < 2) return stop;
  const int64_t spanned = static_cast<int64_t>(last_frame_start) - first;
  // The average span, rounded to the nearest sector.
  const int64_t average = (2 * spanned + (frames - 1)) / (2 * static_cast<int64_t>(frames - 1));
  int64_t end = static_cast<int64_t>(last_frame_start) + average;
  if (end <= last_video) end = static_cast<int64_t>(last_video) + 1;
  return end < stop ? static_cast<int32_t>(end) : stop;
}

int preceding_movie(const MovieSpan* movies, int count, int32_t first) {
  for (int i = 0; i < count; ++i) {
    if (movies[i].start < first && movies[i + 1].start > first) return i;
  }
  return -1;
}

int32_t next_movie_start(const MovieSpan* movies, int count, int32_t sector, int32_t scan_end) {
  int32_t next = scan_end;
  for (int i = 0; i < count; ++i) {
    if (movies[i].start > sector && movies[i].start < next) next = movies[i].start;
  }
  return next;
}

bool begins_movie(const uint8_t* sector) {
  if (!is_video_sector(sector)) return false;
  const StrSectorHeader h = parse_str_header(sector + kSubheaderBytes);
  return (h.status & kStrStatusMask) == kStrStatusValue && h.sector_type == kStrSectorType &&
         h.chunk_number == 0 && h.frame_number == kFirstFrameNumber;
}
