// A CUE sheet opened as a disc: the sheet read and parsed, each of its BIN
// files found (beside the sheet, or by a case-insensitive match of its
// name there) and opened, and the tracks laid out from their sizes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "format/image/disc_tracks.hpp"

struct CueImage {
  std::vector<FILE*> files;         // the BIN files, in the sheet's order
  std::vector<std::string> paths;   // the names they were opened by
  std::vector<DiscTrack> tracks;
};

// Longest sheet read; real ones are a few hundred bytes.
constexpr size_t kLongestCueSheet = 64 * 1024;

// Opens the sheet already open as `sheet` under the name `sheet_name`.
// Ends the process with -3 when the sheet is damaged (detail: its name) or
// a BIN file is missing or shorter than the sheet says (detail: the BIN's name).
void open_cue_image(FILE* sheet, const std::string& sheet_name, CueImage* image);

// Closes the BIN files.
void close_cue_image(CueImage* image);
