// Soundtrack: the XA stream a -with-sound conversion puts into the movie's
// AVI, followed sector by sector as the frames are written.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "format/disc/xa_sector.hpp"
#include "format/xa/adpcm_decoder.hpp"

// Sectors of the stream the movie's reading has already passed, kept so
// that they need not be read again; a few suffice between two frames.
constexpr int kKeptSoundSectors = 8;
struct KeptSoundSector {
  uint32_t sector = UINT32_MAX;  // UINT32_MAX: the slot is free
  std::array<uint8_t, kSectorBytes> bytes = {};
};

struct Soundtrack {
  bool active = false;            // a -with-sound conversion is running
  bool scan_link = false;         // chosen as the scan links audio to a movie
  bool found = false;             // its first two sectors are known
  bool ended = false;             // a sector at the interleave did not match
  uint8_t file_number = 0;
  uint8_t channel_number = 0;
  uint8_t coding_info = 0;        // of its second sector
  uint32_t first = 0;             // its first two sectors
  uint32_t second = 0;
  uint32_t next = 0;              // the next sector to decode
  uint32_t search_from = 0;       // scan link: where the search goes on
  uint32_t read_end = 0;          // no sector at or past this is read
  bool frame_seen = false;
  uint32_t first_frame_last_sector = 0;
  bool sound_started = false;
  AdpcmHistory left;
  AdpcmHistory right;
  std::vector<uint8_t> pcm;       // little-endian samples of the next sound chunk
  std::array<KeptSoundSector, kKeptSoundSectors> kept;
};

extern Soundtrack soundtrack;
