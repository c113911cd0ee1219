// The header of a CHD file ("MComprHD"), version 5: big-endian fields for
// the four codecs, the logical size, where the hunk map and the metadata
// lie, the hunk and unit sizes and the parent's SHA-1. Also the codec tags
// and the checks a CD image's header must pass before anything is read.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kChdMagicBytes = 8;
constexpr size_t kChdV5HeaderBytes = 124;

// Codec tags (four ASCII letters read as a big-endian number); 0 is none.
constexpr uint32_t chd_tag(const char (&four)[5]) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(four[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(four[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(four[2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(four[3]));
}
constexpr uint32_t kChdCodecNone = 0;
constexpr uint32_t kChdCodecCdLzma = chd_tag("cdlz");
constexpr uint32_t kChdCodecCdZlib = chd_tag("cdzl");
constexpr uint32_t kChdCodecCdFlac = chd_tag("cdfl");
constexpr uint32_t kChdCodecCdZstd = chd_tag("cdzs");

constexpr int kChdCodecSlots = 4;

struct ChdHeader {
  uint32_t version = 0;
  uint32_t codecs[kChdCodecSlots] = {};
  uint64_t logical_bytes = 0;
  uint64_t map_offset = 0;
  uint64_t meta_offset = 0;
  uint32_t hunk_bytes = 0;
  uint32_t unit_bytes = 0;
  uint32_t hunk_count = 0;
  bool has_parent = false;  // the parent SHA-1 is not all zero
};

// True when the bytes begin with the CHD magic.
bool starts_with_chd_magic(const uint8_t* start, size_t length);

// Reads a header from the first bytes of a file (at least
// kChdV5HeaderBytes). Returns nullptr, or what makes the file one this
// reader cannot take: another version, a parent, a codec it does not know,
// a geometry that is not a CD's (units of 2448-byte frames, hunks of whole
// frames, a size no CD reaches).
const char* parse_chd_header(const uint8_t* bytes, size_t length, ChdHeader* header);
