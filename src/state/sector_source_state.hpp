// SectorSource: where the program's sectors come from (the CD through ASPI, a
// plain file of sectors, or a disc image) and how they are read, with the
// current and end sector of the range in use and the one-sector buffer.
#pragma once

#include <cstdint>
#include <cstdio>

#include "format/disc/xa_sector.hpp"

enum class SourceKind { Cd, PlainFile, DiscImage };

struct SectorSource {
  SourceKind kind = SourceKind::Cd;
  FILE* file = nullptr;         // the plain file or image; unused for the CD
  int sector_mode = 1;          // 0: 2048-byte form, 1: 2336-byte form
  bool raw_form = false;        // the file holds raw 2352-byte records
  // Reads of many 2336-byte sectors go straight into the caller's buffer in
  // one request (the viewer and the copy), not sector by sector.
  bool bulk_reads = false;
};

extern SectorSource sector_source;
extern int32_t current_sector;
extern int32_t end_sector;
extern uint8_t sector_buffer[kSectorBytes];
