// Video sectors of one frame: the STR sector header, then 2016 bitstream
// bytes, the last chunk (and any extra chunks) padded with zero bytes, which
// decoders never reach since they stop after the last macroblock.
#include "tools/mkdisc/str_video.hpp"

#include <algorithm>
#include <string>

#include "base/byte_order.hpp"
#include "tools/mkdisc/encoder_tables.hpp"

namespace mkdisc {

namespace {

constexpr uint16_t kStatusWord = 0x0160;   // high nibble of the low byte is 6
constexpr uint16_t kSectorType = 0x8001;
constexpr int kMaxPictureSide = 0xFFFF;    // 16-bit width and height fields

// STR header fields, offsets into the sector's user data.
constexpr int kStatusOffset = 0;
constexpr int kTypeOffset = 2;
constexpr int kChunkOffset = 4;
constexpr int kChunkCountOffset = 6;
constexpr int kFrameNumberOffset = 8;
constexpr int kBitstreamSizeOffset = 12;
constexpr int kWidthOffset = 16;
constexpr int kHeightOffset = 18;
constexpr int kFrameHeaderCopyOffset = 20;

}  // namespace

int chunks_for(size_t bitstream_bytes) {
  return static_cast<int>(std::max<size_t>((bitstream_bytes + kChunkBytes - 1) / kChunkBytes, 1));
}

SectorList frame_sectors(const std::vector<uint8_t>& bitstream, const VideoSectorOptions& o) {
  if (bitstream.size() > static_cast<size_t>(kMaxChunks) * kChunkBytes)
    throw Error("frame " + std::to_string(o.frame_number) + " needs " +
                std::to_string((bitstream.size() + kChunkBytes - 1) / kChunkBytes) +
                " chunks, more than 65535");
  const int needed = chunks_for(bitstream.size());
  const int chunks = o.chunks == 0 ? needed : o.chunks;
  if (chunks < needed)
    throw Error("frame " + std::to_string(o.frame_number) + " needs " + std::to_string(needed) +
                " chunks but only " + std::to_string(chunks) + " fit");
  if (chunks > kMaxChunks) throw Error("chunk count " + std::to_string(chunks) + " is over 65535");
  if (o.frame_number < 0) throw Error("frame number " + std::to_string(o.frame_number) + " is negative");
  if (o.width < 0 || o.width > kMaxPictureSide)
    throw Error("width " + std::to_string(o.width) + " is outside 0..65535");
  if (o.height < 0 || o.height > kMaxPictureSide)
    throw Error("height " + std::to_string(o.height) + " is outside 0..65535");
  SectorList out;
  out.reserve(static_cast<size_t>(chunks));
  for (int c = 0; c < chunks; ++c) {
    Sector s = make_sector(o.file_number, o.channel_number, o.submode, 0);
    uint8_t* h = s.data() + subheader::kBytes;
    put_le16(h + kStatusOffset, kStatusWord);
    put_le16(h + kTypeOffset, kSectorType);
    put_le16(h + kChunkOffset, static_cast<uint32_t>(c));
    put_le16(h + kChunkCountOffset, static_cast<uint32_t>(chunks));
    put_le32(h + kFrameNumberOffset, static_cast<uint32_t>(o.frame_number));
    put_le32(h + kBitstreamSizeOffset, static_cast<uint32_t>(bitstream.size()));
    put_le16(h + kWidthOffset, static_cast<uint32_t>(o.width));
    put_le16(h + kHeightOffset, static_cast<uint32_t>(o.height));
    const size_t copy = std::min<size_t>(bitstream.size(), frame_header::kBytes);
    std::copy_n(bitstream.begin(), copy, h + kFrameHeaderCopyOffset);
    const size_t from = static_cast<size_t>(c) * kChunkBytes;
    if (from < bitstream.size()) {
      const size_t n = std::min<size_t>(kChunkBytes, bitstream.size() - from);
      std::copy_n(bitstream.begin() + static_cast<std::ptrdiff_t>(from), n, h + kStrHeaderBytes);
    }
    out.push_back(s);
  }
  return out;
}

}  // namespace mkdisc
