// The viewer's process-wide records: the stream being played, the clock and
// pause flags shared with the playback loop, the display and sound state,
// the frame ring and the working buffers.
#pragma once

#include <cstdint>

#include "format/timing/movie_rate.hpp"
#include "format/viewer/routine_table.hpp"

// The sectors one bulk read asks for; file and channel of the audio; the
// sound format found at set-up. (The frame rate is viewer_frame_rate of the
// command line, chosen from the stream when it is 0.)
struct ViewerStream {
  uint32_t audio_file_number = 0;
  uint32_t audio_channel_number = 0;
  uint32_t sound_rate = 0;            // 37800 or 18900
  uint32_t sound_channels = 0;        // 1 or 2
  uint32_t sound_bits = 4;            // 4 or 8 bits a sample in the sectors
  uint32_t audio_interval = 0;        // 4 to 32 sectors between audio sectors
  uint16_t sectors_per_read = 1;
  // The rate chosen from the movie (no -viewer: number): the frames the
  // preload reads and the sound sectors among them tell it.
  bool automatic_rate = false;
  uint32_t first_chunks = 0;          // chunks of the first frame
  RateEvidence rate_evidence;
  FrameRate frame_rate;               // the rate played
};

// The playback clock and the flags the window procedure changes.
struct ViewerClock {
  uint32_t tick_base = 0;        // tick count when set-up began
  float next_frame_time = 0;     // deadline of the next flip, ms since tick_base
  int32_t frames_to_skip = 0;    // frames the next step reads and drops
  uint32_t quit_requested = 0;
  uint32_t paused = 0;
  uint32_t preloading = 0;       // 1 while the ring fills; the sound path reads it
  int32_t preloaded_frames = 0;
  float pause_started = 0;
  uint32_t frames_dropped = 0;   // read and never shown, to catch up
};

// The display mode and pixel format in use.
struct ViewerDisplay {
  int32_t fixed = 0;              // Fixed and Filter, off where they cannot be used
  int32_t filter = 0;
  uint32_t mmx_present = 0;
  uint32_t wanted_width = 0;
  uint32_t wanted_height = 0;
  uint32_t display_width = 0;
  uint32_t display_height = 0;
  uint32_t bytes_per_pixel = 0;
  uint32_t surface_scale = 1;    // 2 when the filter doubles the picture
};

// Where the next sound block goes and when the last audio sector came.
struct ViewerSoundState {
  uint32_t enabled = 0;           // Sound, off when the movie has no audio
  uint32_t write_position = 0;
  uint32_t last_audio_sector = 0;
};

// Frame ring: up to 32 slots, each the bitstream of one frame.
constexpr int kRingSlots = 32;
constexpr int kSlotSpareChunks = 8;         // slots hold the first frame's chunks + 8

struct FrameRing {
  uint8_t* slots[kRingSlots] = {};
  uint32_t slot_chunks = 0;                 // chunks each slot can hold
  uint32_t slot_bytes[kRingSlots] = {};     // bitstream bytes stored in each slot
  uint32_t slot_scale[kRingSlots] = {};     // quantisation scale of each slot's frame
  uint32_t position = 0;                    // slot written next; also the oldest frame
  uint32_t stream_ended = 0;
  uint32_t dropped_oversized = 0;           // frames whose chunk count did not fit a slot
  uint32_t draining = 0;                    // the end was met and the ring moves on unwritten
};

// The sector scan's bulk read buffer: at most 16 sectors a read.
constexpr int kMaxSectorsPerRead = 16;

struct ReadState {
  uint8_t* buffer = nullptr;       // kMaxSectorsPerRead sectors of 2336 bytes
  uint32_t offset = 0;             // byte offset of the next sector to examine
  uint32_t remaining = 0;          // sectors of the last read not yet examined
};

// Buffers of the frame pipeline.
struct ViewerBuffers {
  int16_t* coefficients = nullptr;     // macroblocks x 6 + 1 blocks of 64 values
  uint32_t coefficient_blocks = 0;
  void* samples = nullptr;             // the transform's output
};

extern ViewerStream viewer_stream;
extern ViewerClock viewer_clock;
extern ViewerDisplay viewer_display;
extern ViewerSoundState viewer_sound;
extern FrameRing frame_ring;
extern ReadState read_state;
extern ViewerBuffers viewer_buffers;

// The routines chosen once at set-up.
extern RoutineTable viewer_routines;
