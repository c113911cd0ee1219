// The description language of mkdisc: a small text of statements, one a
// line, that says what disc or sector file to build (see tools/README.md).
#pragma once

#include <string>
#include <vector>

#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace mkdisc {

struct BuiltFile {
  std::string path;       // inside the image; empty for a bare sector file
  Extent extent;
  std::vector<Movie> movies;  // the movies it holds, with their sources
};

struct BuiltDisc {
  SectorList sectors;
  SectorForm form = SectorForm::form2336;
  bool is_image = true;        // ISO 9660 image, or a bare run of sectors
  std::vector<BuiltFile> files;
};

// Parses and builds. Throws Error with the line number and the value at fault.
BuiltDisc build_from_description(const std::string& text);

}  // namespace mkdisc
