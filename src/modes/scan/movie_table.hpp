// Questions the audio pass asks of the scan's movie table: which movie an
// audio sector lies in, which movie precedes a stream, where the next movie
// starts. The entry after the last movie holds the scan end.
#pragma once

#include <cstdint>

#include "state/scan_state.hpp"

// The first movie whose start is at most sector + 1 and whose end (where its
// conversion stopped) is at least sector, or -1. An audio stream that starts
// one sector before a movie still belongs to it.
int linked_movie(const MovieSpan* movies, int count, int32_t sector);

// The movie i whose start is below first and for which the next entry's start
// (the next movie, or the scan end) is above first, or -1.
int preceding_movie(const MovieSpan* movies, int count, int32_t first);

// The smallest movie start above sector and below scan_end, else scan_end.
int32_t next_movie_start(const MovieSpan* movies, int count, int32_t sector, int32_t scan_end);

// True when the sector (2336-byte form) opens a movie: a video sector whose
// STR header has status 0x6?, sector type 0x8001, chunk 0 and frame 1.
bool begins_movie(const uint8_t* sector);
