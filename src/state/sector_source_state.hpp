// SectorSource: where the program's sectors come from (the CD through ASPI, a
// plain file of sectors, or a disc image) and how they are read, with the
// current and end sector of the range in use and the one-sector buffer.
#pragma once

#include <cstdint>
#include <cstdio>

#include "base/file_identity.hpp"
#include "format/disc/xa_sector.hpp"

enum class SourceKind { Cd, PlainFile, DiscImage };

// The form sectors are read in: the 2048 bytes of user data (the ISO 9660
// directory, data files) or the 2336 bytes after the header (XA streams).
constexpr int kSectorMode2048 = 0;
constexpr int kSectorMode2336 = 1;

struct SectorSource {
  SourceKind kind = SourceKind::Cd;
  FILE* file = nullptr;         // the plain file or image; unused for the CD
  int sector_mode = kSectorMode2336;
  bool raw_form = false;        // the file holds raw 2352-byte records
  FileIdentity identity;        // of the file; no output may be this file

  bool tracks = false;          // the file is a CUE sheet or a CHD file: sectors come from its data track
  // Reads of many 2336-byte sectors go straight into the caller's buffer in
  // one request (the viewer and the copy), not sector by sector.
  bool bulk_reads = false;
};

extern SectorSource sector_source;
extern int32_t current_sector;
extern int32_t end_sector;
extern uint8_t sector_buffer[kSectorBytes];
