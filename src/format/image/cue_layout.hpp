// Laying a parsed CUE sheet out on the disc: with the size of each of its
// files, every track's stored records, their place in the file and their
// sector numbers (0 at the first track's INDEX 01; PREGAP and POSTGAP
// advance the numbers without taking room in a file).
#pragma once

#include <cstdint>
#include <vector>

#include "format/image/cue_sheet.hpp"
#include "format/image/disc_tracks.hpp"

struct CueLayout {
  std::vector<DiscTrack> tracks;
  const char* fault = nullptr;  // nullptr when the sheet and its files agree
  int fault_file = -1;          // the file at fault, -1 when it is the sheet
};

// file_bytes[i] is the size of the sheet's file i. A track runs to the next
// track's first stored record in the same file, or to the last whole record
// of its file.
CueLayout lay_out_cue_sheet(const CueSheet& sheet, const std::vector<int64_t>& file_bytes);
