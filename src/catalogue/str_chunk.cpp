// STR sector header tests for the movie walk of the analysis.
#include "catalogue/str_chunk.hpp"

#include "common/byte_order.hpp"
#include "disc/xa_sector.hpp"

ChunkZero check_chunk_zero(const uint8_t* sector, uint32_t expected_frame) {
  const uint8_t* header = sector + kSubheaderBytes;
  if ((header[kStrStatusOffset] & kStrStatusNibbleMask) != kStrStatusNibble)
    return ChunkZero::bad_header;
  if (get_le16(header + kStrTypeOffset) != kStrVideoType) return ChunkZero::bad_header;
  if (get_le16(header + kStrChunkOffset) != 0) return ChunkZero::misplaced;
  if (get_le32(header + kStrFrameOffset) != expected_frame) return ChunkZero::other_frame;
  return ChunkZero::opens_frame;
}

uint16_t chunks_per_frame_of(const uint8_t* sector) {
  return get_le16(sector + kSubheaderBytes + kStrChunkCountOffset);
}

bool is_walked_sector(const uint8_t* sector, uint32_t file_number, uint32_t channel_number) {
  return sector[kFileNumberOffset] == file_number && sector[kChannelNumberOffset] == channel_number &&
         is_video_sector(sector);
}

bool is_movie_start(const uint8_t* sector) {
  return is_video_sector(sector) && check_chunk_zero(sector, kFirstFrameNumber) == ChunkZero::opens_frame;
}
