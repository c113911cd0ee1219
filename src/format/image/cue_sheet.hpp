// CUE sheets: the text that lists a disc's files and tracks (FILE, TRACK,
// INDEX, PREGAP, POSTGAP), its recognition by the first keyword, and its
// parsing into plain records. Positions stay as written: sectors from the
// start of their file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/image/disc_tracks.hpp"

struct CueTrack {
  int number = 0;
  TrackKind kind = TrackKind::Mode2Raw;
  int64_t index0 = -1;  // sector of INDEX 00 in the file, -1 when absent
  int64_t index1 = -1;  // sector of INDEX 01 in the file, -1 when absent
  int64_t pregap = 0;   // PREGAP sectors (not stored in the file)
  int64_t postgap = 0;  // POSTGAP sectors (not stored in the file)
};

struct CueFile {
  std::string name;  // as the sheet writes it
  std::vector<CueTrack> tracks;
};

struct CueSheet {
  std::vector<CueFile> files;
};

struct CueParse {
  CueSheet sheet;
  const char* fault = nullptr;  // what is wrong with the text; nullptr when it parsed
  int line = 0;                 // the line at fault (from 1)
};

// True when the text (after an optional UTF-8 byte order mark and blank
// space) begins with a keyword of a CUE sheet followed by a blank or a line end.
bool looks_like_cue_sheet(const uint8_t* start, size_t length);

// Parses a whole sheet: CR LF or LF lines, an optional byte order mark,
// keywords in any case. Commands that carry no layout (REM, TITLE,
// PERFORMER, FLAGS, ...) are skipped.
CueParse parse_cue_sheet(std::string_view text);
