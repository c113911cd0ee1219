// Reading and checking a CHD version 5 header.
#include "format/image/chd_header.hpp"

#include <cstring>

#include "base/byte_order.hpp"
#include "format/image/chd_cd_frames.hpp"

namespace {

constexpr char kMagic[kChdMagicBytes + 1] = "MComprHD";

// Field offsets of the version 5 header.
constexpr int kLengthAt = 8;
constexpr int kVersionAt = 12;
constexpr int kCodecsAt = 16;
constexpr int kLogicalAt = 32;
constexpr int kMapAt = 40;
constexpr int kMetaAt = 48;
constexpr int kHunkBytesAt = 56;
constexpr int kUnitBytesAt = 60;
constexpr int kParentSha1At = 104;
constexpr int kSha1Bytes = 20;
constexpr uint32_t kVersion5 = 5;

// The longest CD: 99 minutes of frames is 445500; this bound leaves room.
constexpr uint64_t kMostFrames = 600000;
// Hunks of up to 256 frames (chdman makes 8).
constexpr uint32_t kMostFramesPerHunk = 256;

uint64_t get_be64(const uint8_t* p) {
  return (static_cast<uint64_t>(get_be32(p)) << 32) | get_be32(p + 4);
}

bool known_codec(uint32_t codec) {
  return codec == kChdCodecNone || codec == kChdCodecCdLzma || codec == kChdCodecCdZlib ||
         codec == kChdCodecCdFlac || codec == kChdCodecCdZstd;
}

}  // namespace

bool starts_with_chd_magic(const uint8_t* start, size_t length) {
  return length >= kChdMagicBytes && std::memcmp(start, kMagic, kChdMagicBytes) == 0;
}

const char* parse_chd_header(const uint8_t* bytes, size_t length, ChdHeader* header) {
  if (!starts_with_chd_magic(bytes, length)) return "not a CHD file";
  if (length < kVersionAt + 4) return "the header is cut short";
  header->version = get_be32(bytes + kVersionAt);
  if (header->version != kVersion5) return "only CHD version 5 is read";
  if (length < kChdV5HeaderBytes || get_be32(bytes + kLengthAt) < kChdV5HeaderBytes)
    return "the header is cut short";
  for (int i = 0; i < kChdCodecSlots; ++i) {
    header->codecs[i] = get_be32(bytes + kCodecsAt + 4 * i);
    if (!known_codec(header->codecs[i])) return "a codec this reader does not know";
  }
  header->logical_bytes = get_be64(bytes + kLogicalAt);
  header->map_offset = get_be64(bytes + kMapAt);
  header->meta_offset = get_be64(bytes + kMetaAt);
  header->hunk_bytes = get_be32(bytes + kHunkBytesAt);
  header->unit_bytes = get_be32(bytes + kUnitBytesAt);
  header->has_parent = false;
  for (int i = 0; i < kSha1Bytes; ++i)
    if (bytes[kParentSha1At + i] != 0) header->has_parent = true;
  if (header->has_parent) return "a CHD that needs its parent CHD";
  if (header->unit_bytes != kCdFrameBytes) return "not a CD image (units are not CD frames)";
  if (header->hunk_bytes == 0 || header->hunk_bytes % kCdFrameBytes != 0 ||
      header->hunk_bytes / kCdFrameBytes > kMostFramesPerHunk)
    return "hunks are not whole CD frames";
  if (header->logical_bytes == 0 || header->logical_bytes > kMostFrames * kCdFrameBytes)
    return "a size no CD has";
  header->hunk_count =
      static_cast<uint32_t>((header->logical_bytes + header->hunk_bytes - 1) / header->hunk_bytes);
  return nullptr;
}
