// Plain sector files and disc images as a sector source: opening (with the
// recognition of the form by content: 2336-byte records, raw 2352-byte
// records, a CUE sheet or a CHD file) and the one-sector and bulk reads.
#pragma once

#include <cstdint>

// Opens name for reading as the source's file, recognises its form and sets
// current_sector = 0 and end_sector = its whole records; for a CUE sheet or
// a CHD file the range is its data track's. A failed open, or a stream that
// cannot be read at all, is -3 with name; a file that cannot be measured is
// -3 with failure_name; a damaged sheet or CHD is -3 with the name of the
// file at fault.
void open_sector_file(const char* name, const char* failure_name);

// Reads count sectors from first into dest from the source's file, in the
// form of the sector mode. Bulk reads (mode 1 with the bulk-read bit) stop at
// end_sector. A failed seek or a short read is -4 with input_name.
void read_file_sectors(int32_t first, int32_t count, uint8_t* dest);
