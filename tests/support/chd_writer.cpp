// Writing small CHD version 5 files field by field.
#include "tests/support/chd_writer.hpp"

#include <cstring>
#include <string>

#include "format/image/chd_cd_frames.hpp"
#include "format/image/crc16_ccitt.hpp"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kFramesPerHunk = 8;
constexpr uint32_t kHunkBytes = kFramesPerHunk * kCdFrameBytes;
constexpr size_t kHeaderBytes = 124;
constexpr int kLengthBits = 16;
constexpr int kSelfBits = 8;
constexpr int kTypeBits = 4;        // every map type coded in four bits: code = type
constexpr uint8_t kTypeCodec0 = 0;
constexpr uint8_t kTypeUncompressed = 4;
constexpr uint8_t kTypeSelf = 5;
constexpr uint8_t kStoredFinalBlock = 0x01;  // Deflate: last block, stored

void put_be(Bytes& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void put_be_at(Bytes& out, size_t at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
}

class BitWriter {
 public:
  void put(uint64_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (used_ % 8));
      ++used_;
    }
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  uint64_t used_ = 0;
};

// A CD codec's hunk: no frame gets its parity rebuilt; sector part, then subcode.
Bytes cd_codec_hunk(const Bytes& hunk, const ChdPack& pack) {
  Bytes sectors, subcode;
  for (uint32_t f = 0; f < kFramesPerHunk; ++f) {
    const uint8_t* frame = hunk.data() + f * kCdFrameBytes;
    sectors.insert(sectors.end(), frame, frame + kCdFrameDataBytes);
    subcode.insert(subcode.end(), frame + kCdFrameDataBytes, frame + kCdFrameBytes);
  }
  const Bytes base = pack(sectors.data(), sectors.size());
  const Bytes sub = pack(subcode.data(), subcode.size());
  Bytes out(1, 0);  // the rebuild flags of eight frames
  put_be(out, base.size(), 2);
  out.insert(out.end(), base.begin(), base.end());
  out.insert(out.end(), sub.begin(), sub.end());
  return out;
}

}  // namespace

Bytes stored_deflate(const uint8_t* data, size_t size) {
  Bytes out = {kStoredFinalBlock, static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
               static_cast<uint8_t>(~size), static_cast<uint8_t>(~size >> 8)};
  out.insert(out.end(), data, data + size);
  return out;
}

Bytes write_test_chd(const Bytes& raw_sectors, const ChdCodec& codec) {
  const bool compressed = codec.tag[0] != '\0';
  const uint32_t frames = static_cast<uint32_t>(raw_sectors.size() / kCdFrameDataBytes);
  const uint32_t padded = (frames + kChdTrackPadding - 1) / kChdTrackPadding * kChdTrackPadding;
  const uint32_t hunk_count = (padded + kFramesPerHunk - 1) / kFramesPerHunk;
  std::vector<Bytes> hunks(hunk_count, Bytes(kHunkBytes, 0));
  for (uint32_t f = 0; f < frames; ++f)
    std::memcpy(hunks[f / kFramesPerHunk].data() + (f % kFramesPerHunk) * kCdFrameBytes,
                raw_sectors.data() + static_cast<size_t>(f) * kCdFrameDataBytes, kCdFrameDataBytes);

  Bytes out(kHeaderBytes, 0);
  std::memcpy(out.data(), "MComprHD", 8);
  put_be_at(out, 8, kHeaderBytes, 4);
  put_be_at(out, 12, 5, 4);
  if (compressed) std::memcpy(out.data() + 16, codec.tag, 4);
  put_be_at(out, 32, static_cast<uint64_t>(padded) * kCdFrameBytes, 8);
  put_be_at(out, 48, kHeaderBytes, 8);  // the metadata follows the header
  put_be_at(out, 56, kHunkBytes, 4);
  put_be_at(out, 60, kCdFrameBytes, 4);

  // The track entry: tag, flags and length, next (none), text with its zero.
  const std::string text = "TRACK:1 TYPE:MODE2_RAW SUBTYPE:NONE FRAMES:" + std::to_string(frames) +
                           " PREGAP:0 PGTYPE:MODE1 PGSUB:NONE POSTGAP:0";
  out.insert(out.end(), {'C', 'H', 'T', '2'});
  put_be(out, (1u << 24) | (text.size() + 1), 4);
  put_be(out, 0, 8);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);

  if (!compressed) {
    // Hunks in whole blocks of hunk_bytes from block 1, then the map of block numbers.
    out.resize(kHunkBytes, 0);
    for (const Bytes& h : hunks) out.insert(out.end(), h.begin(), h.end());
    put_be_at(out, 40, out.size(), 8);
    for (uint32_t h = 0; h < hunk_count; ++h) put_be(out, h + 1, 4);
    return out;
  }

  const uint64_t first_offset = out.size();
  BitWriter bits;
  for (int symbol = 0; symbol < 16; ++symbol) bits.put(kTypeBits, 4);  // every code four bits long
  std::vector<int> copy_of(hunk_count, -1);
  for (uint32_t h = 0; h < hunk_count; ++h)
    for (uint32_t e = 0; e < h && copy_of[h] < 0; ++e)
      if (hunks[e] == hunks[h] && copy_of[e] < 0) copy_of[h] = static_cast<int>(e);
  Bytes raw_map;
  for (uint32_t h = 0; h < hunk_count; ++h) {
    const uint16_t crc = crc16_ccitt(hunks[h].data(), hunks[h].size());
    if (copy_of[h] >= 0) {
      bits.put(kTypeSelf, kTypeBits);
      raw_map.push_back(kTypeSelf);
      put_be(raw_map, 0, 3);
      put_be(raw_map, static_cast<uint64_t>(copy_of[h]), 6);
      put_be(raw_map, 0, 2);
      continue;
    }
    const uint64_t offset = out.size();
    // Every third hunk stored as it is, the others with the codec.
    const uint8_t type = h % 3 == 2 ? kTypeUncompressed : kTypeCodec0;
    const Bytes packed = type == kTypeUncompressed ? hunks[h] : cd_codec_hunk(hunks[h], codec.pack);
    out.insert(out.end(), packed.begin(), packed.end());
    bits.put(type, kTypeBits);
    raw_map.push_back(type);
    put_be(raw_map, packed.size(), 3);
    put_be(raw_map, offset, 6);
    put_be(raw_map, crc, 2);
  }
  // Lengths, copies and checksums follow the types in a second pass.
  for (uint32_t h = 0; h < hunk_count; ++h) {
    const uint8_t* entry = raw_map.data() + h * 12;
    if (copy_of[h] >= 0) {
      bits.put(static_cast<uint64_t>(copy_of[h]), kSelfBits);
      continue;
    }
    if (entry[0] == kTypeCodec0)
      bits.put(static_cast<uint64_t>(entry[1]) << 16 | entry[2] << 8 | entry[3], kLengthBits);
    bits.put(static_cast<uint64_t>(entry[10]) << 8 | entry[11], 16);
  }
  put_be_at(out, 40, out.size(), 8);
  put_be(out, bits.bytes().size(), 4);
  put_be(out, first_offset, 6);
  put_be(out, crc16_ccitt(raw_map.data(), raw_map.size()), 2);
  out.insert(out.end(), {static_cast<uint8_t>(kLengthBits), static_cast<uint8_t>(kSelfBits), 0, 0});
  out.insert(out.end(), bits.bytes().begin(), bits.bytes().end());
  return out;
}
