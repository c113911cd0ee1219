// The STR sector header read field by field, and the tests of a sector that
// opens a frame.
#include "format/mdec/str_header.hpp"

#include "base/byte_order.hpp"
#include "format/mdec/mdec_tables.hpp"

namespace {
constexpr int kStatusOffset = 0;
constexpr int kSectorTypeOffset = 2;
constexpr int kChunkNumberOffset = 4;
constexpr int kChunksPerFrameOffset = 6;
constexpr int kFrameNumberOffset = 8;
constexpr int kWidthOffset = 16;
constexpr int kHeightOffset = 18;
}  // namespace

StrSectorHeader parse_str_header(const uint8_t* user_data) {
  StrSectorHeader h;
  h.status = get_le16(user_data + kStatusOffset);
  h.sector_type = get_le16(user_data + kSectorTypeOffset);
  h.chunk_number = get_le16(user_data + kChunkNumberOffset);
  h.chunks_per_frame = get_le16(user_data + kChunksPerFrameOffset);
  h.frame_number = get_le32(user_data + kFrameNumberOffset);
  h.width = get_le16(user_data + kWidthOffset);
  h.height = get_le16(user_data + kHeightOffset);
  h.quant_scale = get_le16(user_data + kStrHeaderBytes + kFrameHeaderScaleOffset);
  h.version = get_le16(user_data + kStrHeaderBytes + kFrameHeaderVersionOffset);
  return h;
}

bool is_str_header(const StrSectorHeader& h) {
  return (h.status & kStrStatusMask) == kStrStatusValue && h.sector_type == kStrSectorType;
}

HeaderCheck classify_str_header(const StrSectorHeader& h, uint32_t expected_frame) {
  if (!is_str_header(h)) return HeaderCheck::kBadHeader;
  if (h.chunk_number != 0) return HeaderCheck::kMisplacedChunk;
  if (h.frame_number != expected_frame) return HeaderCheck::kOtherFrame;
  // A frame is carried by at least the sector that opens it; a count of 0
  // can only come from a damaged header.
  if (h.chunks_per_frame == 0) return HeaderCheck::kBadHeader;
  return HeaderCheck::kOpensFrame;
}
