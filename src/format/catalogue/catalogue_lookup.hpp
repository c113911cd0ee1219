// The search of FILE.INF for an entry: first the volume line of the current
// disc, then the first line naming the entry after it (to the end of the
// file, past later records), then its start and end lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "format/catalogue/catalogue_lines.hpp"
#include "format/disc/iso9660_walk.hpp"

struct CatalogueRange {
  bool found = false;   // false: no such volume or entry, or the record is cut short
  int32_t first = 0;    // first sector of the movie
  int32_t end = 0;      // sector at which its walk stopped
};

// Kernel. Lines are compared in upper case: a volume line matches when it
// is exactly the kVolumeIdBytes bytes of the label; an entry line matches
// when, after its leading blanks and tabs, it is exactly the entry name.
CatalogueRange find_catalogue_range(LinePieces& lines, const uint8_t* label,
                                    std::string_view entry_name);
