// Whole movies: frames encoded and cut into video sectors, XA audio
// interleaved between them, and the helpers that combine streams (gaps,
// foreign sectors, several movies or channels merged sector by sector).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/mkdisc/mdec_encoder.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/picture.hpp"
#include "tools/mkdisc/sector.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace mkdisc {

struct MovieSpec {
  int width = 64;
  int height = 48;
  int frames = 4;
  Pattern pattern = Pattern::gradient;
  int first_pattern_frame = 0;       // pattern index of the first frame
  EncodeOptions encode;              // version, scale, colour convention
  int file_number = 1;
  int channel_number = 1;
  uint8_t video_submode = kVideoSubmode;
  int first_frame_number = 1;        // STR frame number of the first frame
  // Sectors per frame, audio included (150 / fps at double speed); 0 packs
  // the chunks of each frame without padding. May be fractional (e.g. 8.75
  // would be given as 35/4): frame f spans sectors floor(f*spf)..floor((f+1)*spf).
  double sectors_per_frame = 0;
  // (For a rate of f frames a second at speed s: 75 x s / f.)
  bool audio = false;
  AudioFormat audio_format;
  int audio_channel = -1;            // -1: the video's channel
  int interleave = 0;                // one audio sector in this many; 0: from the format and speed
  // 2 (double speed, 150 sectors a second) or 1 (single speed, 75): the
  // interleave the format needs at that speed (half the double-speed one at
  // single speed) when `interleave` is 0.
  int disc_speed = 2;
  int audio_slot = -1;               // place of the audio sector in each group of `interleave`; -1: the last
  Sound sound = Sound::sweep;        // used when `pcm` is empty
  std::vector<int16_t> pcm;          // source audio; fitted to the audio sectors
};

struct Movie {
  SectorList sectors;
  std::vector<RgbFrame> frames;                 // source pictures, as given (not padded)
  std::vector<std::vector<uint8_t>> bitstreams; // one per frame, with header
  std::vector<int> chunks;                      // video sectors of each frame
  std::vector<int16_t> pcm;                     // the source PCM actually encoded (interleaved)
  int audio_sectors = 0;
};

// Throws Error naming the value when the movie_spec cannot be built.
Movie build_movie(const MovieSpec& movie_spec);

// One audio sector in this many: the movie's own interleave, or the one its
// audio format needs at its disc speed.
int movie_interleave(const MovieSpec& movie_spec);

// `count` empty sectors (all zero: file 0, channel 0, submode 0).
SectorList gap_sectors(int count);

// `count` sectors of another stream: the given subheader, data filled with a
// deterministic byte pattern.
SectorList foreign_sectors(int count, int file_number, int channel_number, uint8_t submode,
                           uint8_t coding_info = 0);

// Plain bytes as Form 1 data sectors (2048 bytes each, the last zero-padded).
SectorList data_sectors(const std::vector<uint8_t>& bytes, int file_number = 0,
                        int channel_number = 0);

// Streams merged sector by sector: sector 0 of each, then sector 1 of each...;
// a stream that runs out simply drops out.
SectorList merge_round_robin(const std::vector<SectorList>& streams);

// b appended to a.
void append(SectorList& a, const SectorList& b);

}  // namespace mkdisc
