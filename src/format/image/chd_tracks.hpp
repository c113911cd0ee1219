// The track list of a CHD CD image: metadata entries (tag, flags and
// 24-bit length, offset of the next entry) whose CHT2 and CHTR texts give
// each track's type, frames, pregap and postgap; laid out on the disc and
// in the CHD's frames (each track padded to whole groups of four frames).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "format/image/chd_header.hpp"
#include "format/image/disc_tracks.hpp"

constexpr size_t kChdMetaHeaderBytes = 16;
constexpr uint32_t kChdMetaTrack = chd_tag("CHT2");     // track with pregap and postgap
constexpr uint32_t kChdMetaOldTrack = chd_tag("CHTR");  // track without them

struct ChdMetaEntry {
  uint32_t tag = 0;
  uint32_t length = 0;  // bytes of data after the entry header
  uint64_t next = 0;    // file offset of the next entry, 0 at the end
};

ChdMetaEntry parse_chd_meta_entry(const uint8_t* bytes);

struct ChdTrackText {
  int number = 0;
  TrackKind kind = TrackKind::Mode2Raw;
  int64_t frames = 0;   // stored frames, the pregap included when it is stored
  int64_t pregap = 0;
  bool pregap_stored = false;  // the pregap's type starts with "V"
  int64_t postgap = 0;
};

// Parses one track text ("TRACK:1 TYPE:MODE2_RAW SUBTYPE:NONE FRAMES:3000
// PREGAP:0 PGTYPE:MODE1 PGSUB:NONE POSTGAP:0", the last four absent in
// CHTR). Returns nullptr or the fault.
const char* parse_chd_track_text(std::string_view text, ChdTrackText* track);

// Lays the tracks out: disc sectors from 0 at the first track's index 1,
// frame numbers in the CHD. Fails when the numbers are not 1, 2, 3, ... or
// the padded frames do not fit the CHD's units.
const char* lay_out_chd_tracks(const std::vector<ChdTrackText>& texts, uint64_t units,
                               std::vector<DiscTrack>* tracks);
