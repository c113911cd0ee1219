// ScanState: the whole-file / whole-disc scan's range, its sector usage map
// (one byte a sector, set when a conversion took the sector), the report file,
// the table of movies found so far and the numbers of the next WAV files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// The movie table has this many entries; the entry after the last movie holds
// the scan end as a sentinel, so at most kMovieTableEntries - 1 movies fit.
constexpr int kMovieTableEntries = 1024;
constexpr int32_t kFirstAudioNumber = 1000;       // ordinary and -detail audio
constexpr int32_t kFirstLinkedAudioNumber = 0;    // audio inside a movie

struct MovieSpan {
  int32_t start = 0;
  int32_t end = 0;  // one past the span of the movie's frames (movie_span_end)
};

// A sector's flags in the usage map.
constexpr uint8_t kSectorUsed = 1;      // a conversion took it
constexpr uint8_t kSectorNotAudio = 2;  // the movie pass read it: no audio sector

struct ScanState {
  int32_t scan_start = 0;
  int32_t scan_end = 0;
  uint8_t* usage_map = nullptr;   // scan_end - scan_start bytes of the flags below
  bool marking = false;           // conversions mark the sectors they take
  FILE* log = nullptr;            // the report file
  size_t name_end = 0;            // where numbers and extensions go in output_name
  MovieSpan movies[kMovieTableEntries];
  int32_t movie_count = 0;
  int32_t audio_number = kFirstAudioNumber;
  int32_t linked_audio_number = kFirstLinkedAudioNumber;
  // Sectors where the disc's files begin and end (whole-disc scans of a disc
  // whose directory is known); movies and streams never run across one.
  std::vector<int32_t> file_bounds;
};

extern ScanState scan_state;

// Index of a sector in the usage map, or -1 when it lies outside the map.
inline int64_t usage_map_index(int32_t sector) {
  if (scan_state.usage_map == nullptr) return -1;
  const int64_t index = static_cast<int64_t>(sector) - scan_state.scan_start;
  const int64_t size = static_cast<int64_t>(scan_state.scan_end) - scan_state.scan_start;
  return (index >= 0 && index < size) ? index : -1;
}

// Called by the movie and audio conversions for every sector they take.
inline void mark_sector_used(int32_t sector) {
  if (!scan_state.marking) return;
  const int64_t index = usage_map_index(sector);
  if (index >= 0) scan_state.usage_map[index] |= kSectorUsed;
}

// A sector a conversion marked and then gave back (a frame that failed).
inline void unmark_sector_used(int32_t sector) {
  if (!scan_state.marking) return;
  const int64_t index = usage_map_index(sector);
  if (index >= 0) scan_state.usage_map[index] &= static_cast<uint8_t>(~kSectorUsed);
}

inline bool sector_is_used(int32_t sector) {
  const int64_t index = usage_map_index(sector);
  return index >= 0 && (scan_state.usage_map[index] & kSectorUsed) != 0;
}

// The movie pass reads every sector not yet used; what it learns spares the
// audio pass reading the sectors that hold no audio a second time.
inline void note_not_audio(int32_t sector) {
  const int64_t index = usage_map_index(sector);
  if (index >= 0) scan_state.usage_map[index] |= kSectorNotAudio;
}

inline bool known_not_audio(int32_t sector) {
  const int64_t index = usage_map_index(sector);
  return index >= 0 && (scan_state.usage_map[index] & kSectorNotAudio) != 0;
}
