// The 32-byte STR header at the start of a video sector's user data, and the
// two words of the frame header that chunk 0 carries behind it.
#pragma once

#include <cstdint>

constexpr int kStrHeaderBytes = 32;
constexpr int kChunkBitstreamBytes = 2016;   // user data after the STR header
constexpr uint16_t kStrSectorType = 0x8001;
constexpr uint8_t kStrStatusMask = 0xF0;     // high nibble of the status word's low byte
constexpr uint8_t kStrStatusValue = 0x60;
constexpr uint32_t kPictureSizeMask = 0xFFF0;
constexpr uint32_t kPictureSizeRound = 15;

struct StrSectorHeader {
  uint16_t status = 0;
  uint16_t sector_type = 0;
  uint16_t chunk_number = 0;
  uint16_t chunks_per_frame = 0;
  uint32_t frame_number = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t quant_scale = 0;   // frame header word at bitstream offset 4
  uint16_t version = 0;       // frame header word at bitstream offset 6
};

// Reads the header (and the two frame-header words) from a sector's user data.
StrSectorHeader parse_str_header(const uint8_t* user_data);

// Status nibble 6 and sector type 0x8001: the sector carries STR video.
bool is_str_header(const StrSectorHeader& header);

// The version a frame decodes as: encoders store 1 for frames that decode
// as version 2.
inline uint32_t decoding_version(uint16_t stored) {
  constexpr uint16_t kStoredLegacyVersion = 1;
  constexpr uint32_t kVersion2 = 2;
  return stored == kStoredLegacyVersion ? kVersion2 : stored;
}

enum class HeaderCheck {
  kOpensFrame,      // chunk 0 of the expected frame
  kOtherFrame,      // chunk 0 of another frame: the movie ends here
  kBadHeader,       // status word, sector type, or no chunks at all
  kMisplacedChunk,  // not chunk 0
};

HeaderCheck classify_str_header(const StrSectorHeader& header, uint32_t expected_frame);

// Header width or height rounded up to a multiple of 16 (in 16 bits: a size
// above 65520 rounds to 0).
inline uint32_t round_picture_size(uint16_t size) {
  return (static_cast<uint32_t>(size) + kPictureSizeRound) & kPictureSizeMask;
}
