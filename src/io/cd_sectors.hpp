// The CD kind of the sector source: sectors read from the chosen drive with
// READ CD, and the whole-disc range from READ TOC.
#pragma once

#include <cstdint>

// Reads count sectors from first into dest in the form of sector mode
// (0: 2048 bytes, 1: 2336 bytes). Bulk (mode 1 with the bulk-read bit): one
// command for all of them; otherwise one command per sector, sent once more
// when it fails, and with -check repeated until two reads agree.
void read_cd_sectors(int32_t first, int32_t count, int sector_mode, uint8_t* dest);

// Sets current_sector to the first track's start and end_sector to one
// sector before the second table-of-contents entry.
void open_cd_disc_range();
