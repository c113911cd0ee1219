// ISO 9660 disc images in the 2336-byte form: system area, primary volume
// descriptor at sector 16, terminator, path tables, the directory tree and
// the files' extents (STR/XA sector runs or plain data).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

constexpr int kVolumeDescriptorSector = 16;

struct IsoFile {
  std::string path;      // "MOVIE/SAMPLE.STR"; directories are made as needed
  SectorList sectors;    // the extent's sectors (2336-byte form)
  // Data length recorded in the directory; 0: sectors * 2048, as discs record
  // Form 2 streams. Plain data files record their byte count.
  uint32_t data_length = 0;
};

// Plain bytes as an IsoFile (Form 1 sectors, data length = byte count).
IsoFile plain_file(const std::string& path, const std::vector<uint8_t>& bytes);

struct Extent {
  uint32_t first_sector = 0;
  uint32_t sector_count = 0;
  uint32_t data_length = 0;
};

struct IsoImage {
  SectorList sectors;                       // disc sector n at index n
  std::map<std::string, Extent> files;      // by path as given (upper case)
  std::map<std::string, Extent> directories; // "" is the root
};

// A path as the image records it: upper case, "/" between components, no
// leading or doubled separators ("movie\\sample.str" -> "MOVIE/SAMPLE.STR").
std::string normalise_iso_path(const std::string& path);

// Names are upper-cased; components must be 1..31 characters of A-Z 0-9 _ .
// and files are recorded with ";1". Throws Error naming a bad name or value.
IsoImage build_iso_image(const std::string& volume_id, const std::vector<IsoFile>& files);

}  // namespace mkdisc
