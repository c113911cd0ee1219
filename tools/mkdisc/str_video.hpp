// STR video sectors: a frame bitstream cut into chunks of 2016 bytes, each
// behind the 32-byte STR sector header, in the 2336-byte sector form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

constexpr int kStrHeaderBytes = 32;
constexpr int kChunkBytes = 2016;     // bitstream bytes per video sector
constexpr int kMaxChunks = 65535;     // the chunk count is a 16-bit field

struct VideoSectorOptions {
  int file_number = 1;
  int channel_number = 1;
  uint8_t submode = kVideoSubmode;
  int frame_number = 1;     // 1-based
  int width = 0;            // the picture size written in the header
  int height = 0;
  int chunks = 0;           // 0: as many as the bitstream needs; more pads with zero bytes
};

// Chunks a bitstream of this many bytes needs.
int chunks_for(size_t bitstream_bytes);

// The video sectors of one frame. Throws Error for more than 65535 chunks,
// for fewer chunks than the bitstream needs, or bad numbers.
SectorList frame_sectors(const std::vector<uint8_t>& bitstream, const VideoSectorOptions& options);

}  // namespace mkdisc
