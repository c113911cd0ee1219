// The sound of a movie in its AVI (-with-sound): which XA stream it is, and
// its sectors decoded and written between the frames, each frame's chunk
// after the sound the disc delivers before that frame shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "format/disc/xa_sector.hpp"

enum class SoundtrackChoice {
  audio_rule,  // the stream -audio converts from the movie's start: its file and channel
  scan_link,   // the audio the scan links to the movie: the first unused sound sector
               // from one sector before its start, of whatever file and channel
};

// Chooses the stream for a movie that starts at `start`; sectors at or past
// `read_end` are never read.
void begin_soundtrack(SoundtrackChoice choice, uint32_t start, uint32_t read_end);

// An audio sector the movie's reading passes (in the 2336-byte form): kept
// when it belongs to the stream and has not been written yet, so that it
// is not read a second time.
void offer_sound_sector(uint32_t sector, const uint8_t* bytes);

// Before a frame whose last video sector is frame_end - 1 is written: the
// sound of the stream read before it, as one sound chunk.
void sound_before_frame(uint32_t frame_end);

// The same in three steps, for frames decoded on other threads: the sound's
// sectors gathered where the frame is assembled (right after it, as the
// frame's turn would find them), decoded in frame order with the stream's
// histories on any thread, then written before the frame.
struct FrameSound {
  std::vector<uint8_t> data;  // the sectors' sound data, kSoundDataBytes each
  size_t sectors = 0;
  XaCoding coding{};
  std::vector<uint8_t> pcm;   // once decoded
};
void gather_frame_sound(uint32_t frame_end, FrameSound& sound);
void decode_frame_sound(FrameSound& sound);
void write_frame_sound(const FrameSound& sound);

// After the last frame: the rest of the stream below `end`.
void finish_soundtrack(uint32_t end);
