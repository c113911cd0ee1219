// Splitting the CD codecs' hunks and reassembling their frames.
#include "format/image/chd_cd_frames.hpp"

#include <cstring>

#include "format/image/cd_ecc.hpp"

namespace {
constexpr uint32_t kTwoByteLengthLimit = 65536;  // larger hunks give the length in three bytes
}

bool split_cd_hunk(const uint8_t* compressed, size_t length, uint32_t hunk_bytes, CdHunkParts* parts) {
  const uint32_t frames = hunk_bytes / kCdFrameBytes;
  const size_t flag_bytes = (frames + 7) / 8;
  const size_t length_bytes = hunk_bytes < kTwoByteLengthLimit ? 2 : 3;
  const size_t header = flag_bytes + length_bytes;
  if (length < header) return false;
  size_t base = 0;
  for (size_t i = 0; i < length_bytes; ++i) base = (base << 8) | compressed[flag_bytes + i];
  if (base > length - header) return false;
  parts->rebuild_flags = compressed;
  parts->base_offset = header;
  parts->base_length = base;
  parts->subcode_offset = header + base;
  parts->subcode_length = length - header - base;
  return true;
}

void assemble_cd_frames(const uint8_t* sector_bytes, const uint8_t* subcode, uint32_t frames,
                        const uint8_t* rebuild_flags, uint8_t* hunk) {
  for (uint32_t f = 0; f < frames; ++f) {
    uint8_t* frame = hunk + static_cast<size_t>(f) * kCdFrameBytes;
    std::memcpy(frame, sector_bytes + static_cast<size_t>(f) * kCdFrameDataBytes, kCdFrameDataBytes);
    std::memcpy(frame + kCdFrameDataBytes, subcode + static_cast<size_t>(f) * kCdSubcodeBytes,
                kCdSubcodeBytes);
    if (rebuild_flags != nullptr && (rebuild_flags[f / 8] & (1u << (f % 8))) != 0) {
      std::memcpy(frame, kCdSyncPattern, kCdSyncBytes);
      compute_sector_ecc(frame);
    }
  }
}
