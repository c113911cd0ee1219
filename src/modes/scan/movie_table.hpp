// Questions the audio pass asks of the scan's movie table: which movie an
// audio sector lies in, which movie precedes a stream, where the next movie
// starts. The entry after the last movie holds the scan end.
#pragma once

#include <cstdint>

#include "state/scan_state.hpp"

// The first movie whose start is at most sector + 1 and whose end (one past
// the span of its frames) is above sector, or -1. An audio stream that
// starts one sector before a movie still belongs to it.
int linked_movie(const MovieSpan* movies, int count, int32_t sector);

// One past the sectors a movie's frames span, video and audio: frame after
// frame from chunk 0 to the next chunk 0, the last frame taken to span the
// average of the others. first: chunk 0 of frame 1; last_frame_start: chunk 0
// of the last frame; frames: frames converted; last_video: its last video
// sector; stop: where its conversion stopped, never exceeded. With a single
// frame there is no average and the span runs to stop.
int32_t movie_span_end(int32_t first, int32_t last_frame_start, int32_t frames, int32_t last_video,
                       int32_t stop);

// The movie i whose start is below first and for which the next entry's start
// (the next movie, or the scan end) is above first, or -1.
int preceding_movie(const MovieSpan* movies, int count, int32_t first);

// The smallest movie start above sector and below scan_end, else scan_end.
int32_t next_movie_start(const MovieSpan* movies, int count, int32_t sector, int32_t scan_end);

// True when the sector (2336-byte form) opens a movie: a video sector whose
// STR header has status 0x6?, sector type 0x8001, chunk 0 and frame 1.
bool begins_movie(const uint8_t* sector);
