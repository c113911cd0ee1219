// Small CHD files for the CHD reader's seed corpus: a CD of one MODE2_RAW
// track in hunks of eight frames, either without codecs (a plain map of
// block numbers) or with cdzl hunks (Deflate in stored blocks, so no
// compression library is needed) under a compressed map whose types are
// coded in four bits each; hunks equal to an earlier one are stored as
// copies of it.
#pragma once

#include <cstdint>
#include <vector>

// raw_sectors: the track's 2352-byte sectors, one after another.
std::vector<uint8_t> write_seed_chd(const std::vector<uint8_t>& raw_sectors, bool compressed);
