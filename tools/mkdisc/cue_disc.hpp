// Writing a disc as rippers keep it: a CUE sheet with raw 2352-byte BIN
// data (sync, header, EDC and parity as a pressed disc has them) in track 1,
// then a CD audio track of 16-bit stereo PCM at 44100 Hz after a
// two-second pregap; in one BIN, or one BIN per track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

enum class CueFiles { one_bin, bin_per_track };

// The raw 2352-byte record of a sector at a disc address, with its EDC and,
// for Form 1 sectors, its P and Q parity.
std::vector<uint8_t> pressed_sector(const Sector& sector, uint32_t address);

// Writes cue_path and its BIN files beside it ("NAME.bin", or "NAME (Track
// 1).bin" and "NAME (Track 2).bin"). `audio` is interleaved left/right PCM;
// its last CD frame is padded with silence. Throws Error when a file cannot
// be written.
void write_cue_disc(const std::string& cue_path, const SectorList& sectors, const std::vector<int16_t>& audio,
                    CueFiles files);

}  // namespace mkdisc
