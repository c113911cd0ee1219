// SectorSource: the one layer through which the program reads disc sectors,
// from the CD (through ASPI), a plain file of sectors, or a disc image.
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

// Chooses the kind of source, opens it, finds the named file and sets
// current_sector and end_sector. Ends the process on any failure.
void open_sector_source();

// Opens image_name as a disc image whose range is the whole image:
// current_sector = 0, end_sector = its whole records. Ends the process with
// -3 and the image name when it cannot be opened or measured.
void open_whole_image();

// 0: sectors are read in the 2048-byte form; 1: in the 2336-byte form.
void set_sector_mode(int mode);

// Reads count (low 16 bits) sectors from first into dest, each 2048 or 2336
// bytes by the sector mode. Ends the process on any failure.
void read_sectors(int32_t first, uint32_t count, uint8_t* dest);
