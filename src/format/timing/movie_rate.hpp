// The frame rate and the disc speed of an STR movie, taken from the movie
// itself: how many sectors (video, audio and foreign alike) lie between the
// starts of its frames, and how fast the disc must turn for its XA audio to
// play at its own rate. The conversion, the viewer and the placement of the
// sound in an AVI all ask these functions, so they cannot disagree.
#pragma once

#include <cstdint>

#include "format/disc/xa_sector.hpp"

// Frames a second as rate / scale (an AVI stream keeps both); rate 0: no rate.
struct FrameRate {
  uint32_t rate = 0;
  uint32_t scale = 1;
};

inline bool operator==(const FrameRate& a, const FrameRate& b) {
  return a.rate == b.rate && a.scale == b.scale;
}

constexpr uint32_t kSingleSpeedSectorsPerSecond = 75;
constexpr uint32_t kDoubleSpeedSectorsPerSecond = 150;

// The sectors a second at which a stream of this coding, one sector in
// `interleave`, plays at its own rate: 75 (single speed) or 150 (double
// speed), whichever lies nearer.
uint32_t disc_sectors_per_second(const XaCoding& coding, uint32_t interleave);

// The first two sectors of one audio stream met while a movie is read.
struct AudioPace {
  uint32_t count = 0;  // sectors noted: 0, 1 or 2
  uint8_t file_number = 0;
  uint8_t channel_number = 0;
  uint8_t coding_info = 0;
  uint32_t first = 0;
  uint32_t second = 0;
};

// What a movie shows of its timing, gathered frame by frame.
struct RateEvidence {
  uint8_t file_number = 0;        // the movie's own file and channel
  uint8_t channel_number = 0;
  uint32_t frames = 0;
  uint32_t first_start = 0;       // sector of chunk 0 of the first frame
  uint32_t last_start = 0;        // and of the latest frame
  uint32_t first_chunks = 0;
  bool chunks_vary = false;       // not every frame has first_chunks chunks
  AudioPace own_audio;            // audio of the movie's file and channel
  AudioPace any_audio;            // the first audio stream of any file and channel
};

void start_rate_evidence(RateEvidence& evidence, uint8_t file_number, uint8_t channel_number);
void note_frame_start(RateEvidence& evidence, uint32_t sector, uint32_t chunks);
void note_audio_sector(RateEvidence& evidence, uint32_t sector, const uint8_t* subheader);

// 150 without audio; else from the movie's own audio stream, or failing
// that the first audio stream met.
uint32_t evidence_sectors_per_second(const RateEvidence& evidence);

// The two tables that map the largest chunk count of a movie to a rate:
// the conversion's (16 chunks or more: no rate) and the viewer's (16 or
// more: 15). They serve movies whose frames all have one chunk count.
enum class RateTable { conversion, viewer };
FrameRate table_frame_rate(RateTable table, uint32_t max_chunks);

// The usual rate nearest to `sectors_per_second` x (frames - 1) / span:
// 30, 25, 24, 20, 15, 12, 10 or 7.5 (ties go to the faster rate).
FrameRate nearest_usual_rate(uint32_t sectors_per_second, uint64_t frame_steps, uint64_t span);

// Whether the table has a row for exactly this many chunks (5, 8, 10, 15).
bool is_table_bound(uint32_t chunks);

// The movie's rate: the table's for `max_chunks` when its frames all have
// one chunk count that is a bound of the table, or it has fewer than two
// frames; otherwise the usual rate nearest to the sectors its frames span
// at its disc speed.
FrameRate movie_frame_rate(const RateEvidence& evidence, RateTable table, uint32_t max_chunks);

// Microseconds a frame lasts, truncated (33333 at 30, 66666 at 15); 0 for no rate.
uint32_t frame_microseconds(const FrameRate& rate);
