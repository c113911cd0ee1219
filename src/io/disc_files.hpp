// Where the files of the disc being scanned begin and end, from its ISO 9660
// directory, so that the whole-disc modes end streams and movies at file
// boundaries.
#pragma once

#include <cstdint>
#include <vector>

// The sorted start and end sectors of every file on the disc, read through
// the sector source (its sector mode is kept). Empty unless the range is a
// whole disc (-disc-all or -disc-analyze on an image or a CD) holding an ISO
// 9660 volume whose directory reads whole: then nothing is known about files.
std::vector<int32_t> whole_disc_file_boundaries();
