// The byte layout of the AVI files korvane writes with sound, or past what
// one RIFF can hold (the OpenDML form): the 2048-byte header with a picture
// stream and, with sound, a 16-bit PCM stream, each stream header carrying
// its "indx" super-index when the file goes on in "RIFF AVIX" continuations,
// the "odml"/"dmlh" list with the total frame count, the "ix00"/"ix01"
// standard indexes and the legacy "idx1" entries of both streams. An AVI
// without sound that one RIFF holds keeps the plain layout of avi_layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/timing/movie_rate.hpp"

constexpr uint32_t kAviVideoStream = 0;
constexpr uint32_t kAviSoundStream = 1;

constexpr int kAviSuperIndexEntryBytes = 16;
constexpr int kAviStandardIndexHeaderBytes = 24;  // after the chunk header
constexpr int kAviStandardIndexEntryBytes = 8;
constexpr int kAviRiffListBytes = 24;             // "RIFF" size "AVIX" "LIST" size "movi"

// "00db" or "01wb"; "ix00" or "ix01".
const char* avi_chunk_id(uint32_t stream);
const char* avi_standard_index_id(uint32_t stream);

struct AviSoundFormat {
  uint32_t sample_rate = 0;
  uint32_t channels = 0;      // 16-bit samples, interleaved
};
inline uint32_t avi_sound_block_bytes(const AviSoundFormat& f) { return 2 * f.channels; }

// One super-index entry: where a standard index chunk lies, its length with
// its chunk header, and how many frames (picture) or sample frames (sound)
// it covers.
struct AviSuperIndexEntry {
  uint64_t offset = 0;
  uint32_t bytes = 0;
  uint32_t duration = 0;
};

// What the header of such a file records.
struct AviStreamsHeader {
  uint32_t width = 0, height = 0;    // of the last frame
  FrameRate rate;
  uint32_t frames = 0;               // all frames, in every RIFF
  uint32_t first_riff_frames = 0;    // frames in the first RIFF (the main header's count)
  uint32_t video_start = 0;          // frames the picture stream starts late
  uint32_t riff_size = 0;            // of the first RIFF
  uint32_t movi_size = 0;            // of the first RIFF's "movi" list
  bool has_sound = false;
  AviSoundFormat sound;
  uint32_t sound_frames = 0;         // sample frames in every RIFF
  uint32_t sound_buffer = 0;         // bytes of the largest sound chunk
  bool odml = false;                 // indx in each stream header, odml/dmlh list
  const AviSuperIndexEntry* video_index = nullptr;
  uint32_t video_index_count = 0;
  const AviSuperIndexEntry* sound_index = nullptr;
  uint32_t sound_index_count = 0;
};

// Super-index entries each stream's header has room for.
uint32_t avi_super_index_capacity(bool has_sound);

// The whole 2048-byte header (kAviHeaderBytes).
void build_streams_avi_header(uint8_t* header, const AviStreamsHeader& fields);

// "RIFF" size "AVIX" "LIST" size "movi" of a continuation.
void build_avix_start(uint8_t* out, uint32_t riff_size, uint32_t movi_size);

// An idx1 entry: the chunk's identifier, its flags (pictures 8, as the
// plain layout has them; sound 0x10, a key frame), its offset from the
// "movi" type and its data size.
void build_stream_index_entry(uint8_t* entry, uint32_t stream, uint32_t offset, uint32_t size);

// The 24 bytes after an "ix0N" chunk header: one entry a long pair,
// chunk index, the entry count, the stream's chunk identifier and the base
// offset (the "movi" type of the RIFF the chunks lie in).
void build_standard_index_header(uint8_t* out, uint32_t stream, uint32_t entries, uint64_t base);
// One standard index entry: the chunk data's offset from the base, its size
// (bit 31 clear: a key frame).
void build_standard_index_entry(uint8_t* out, uint32_t data_offset, uint32_t size);
