// SectorSource: the one layer through which the program reads disc sectors,
// from the CD (through ASPI), a plain file of sectors, or a disc image.
#pragma once

#include <cstdint>

#include "state/sector_source_state.hpp"


// Chooses the kind of source, opens it, finds the named file and sets
// current_sector and end_sector. Ends the process on any failure.
void open_sector_source();

// Opens image_name as a disc image whose range is the whole image:
// current_sector = 0, end_sector = its whole records. Ends the process with
// -3 and the image name when it cannot be opened or measured.
void open_whole_image();

// kSectorMode2048 or kSectorMode2336: the form later reads deliver.
void set_sector_mode(int mode);

// Reads count (low 16 bits) sectors from first into dest, each 2048 or 2336
// bytes by the sector mode. Ends the process on any failure.
void read_sectors(int32_t first, uint32_t count, uint8_t* dest);
