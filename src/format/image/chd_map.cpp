// Decoding CHD version 5 hunk maps.
#include "format/image/chd_map.hpp"

#include "base/byte_order.hpp"
#include "format/image/chd_bits.hpp"
#include "format/image/chd_map_codes.hpp"
#include "format/image/crc16_ccitt.hpp"

namespace {

// Types in the map's bit stream: the stored kinds, then run lengths and
// short forms of copies.
enum MapType : int {
  kTypeCodec0 = 0,
  kTypeCodec3 = 3,
  kTypeUncompressed = 4,
  kTypeSelf = 5,
  kTypeParent = 6,
  kTypeRunShort = 7,     // the previous type 2 + (next symbol) more times
  kTypeRunLong = 8,      // the previous type 2 + 16 + (two symbols, 8 bits) more times
  kTypeSelfSame = 9,     // a copy of the same hunk as the last copy
  kTypeSelfNext = 10,    // a copy of the hunk after the last copy's
  kTypeParentSelf = 11,  // parent types: refused
  kTypeParentLast = 13,
};

constexpr int kShortRunBase = 2;
constexpr int kLongRunBase = 2 + 16;
constexpr int kSymbolBits = 4;
constexpr int kCrcBits = 16;
constexpr uint32_t kMostCompressedGrowth = 2;  // bound on a compressed hunk, in hunks
constexpr int kMostOffsetBits = 48;
constexpr int kMostLengthBits = 32;
constexpr size_t kRawEntryBytes = 12;  // type, 24-bit length, 48-bit offset, CRC: the map's checksum covers these

uint64_t get_be48(const uint8_t* p) {
  return (static_cast<uint64_t>(get_be16(p)) << 32) | get_be32(p + 2);
}

// The decoded entry as the map's checksum sees it.
void put_raw_entry(uint8_t type, const ChdHunk& h, uint8_t* out) {
  out[0] = type;
  out[1] = static_cast<uint8_t>(h.length >> 16);
  out[2] = static_cast<uint8_t>(h.length >> 8);
  out[3] = static_cast<uint8_t>(h.length);
  for (int i = 0; i < 6; ++i) out[4 + i] = static_cast<uint8_t>(h.offset >> (8 * (5 - i)));
  put_be16(out + 10, h.crc);
}

}  // namespace

ChdMapHeader parse_chd_map_header(const uint8_t* bytes) {
  ChdMapHeader map;
  map.compressed_bytes = get_be32(bytes);
  map.first_offset = get_be48(bytes + 4);
  map.crc = get_be16(bytes + 10);
  map.length_bits = bytes[12];
  map.self_bits = bytes[13];
  map.parent_bits = bytes[14];
  return map;
}

const char* decode_chd_map(const ChdHeader& header, const ChdMapHeader& map, const uint8_t* data,
                           size_t length, uint64_t file_size, std::vector<ChdHunk>* hunks) {
  if (map.length_bits > kMostLengthBits || map.self_bits > kMostOffsetBits ||
      map.parent_bits > kMostOffsetBits)
    return "the map's field widths are out of range";
  ChdBits bits(data, length);
  ChdMapCodes codes;
  if (!read_map_codes(bits, &codes)) return "the map's code table is damaged";

  const uint32_t count = header.hunk_count;
  std::vector<uint8_t> types(count);
  int last = 0;
  uint32_t repeat = 0;
  for (uint32_t h = 0; h < count; ++h) {
    if (repeat > 0) {
      types[h] = static_cast<uint8_t>(last);
      --repeat;
      continue;
    }
    const int symbol = read_map_symbol(bits, codes);
    if (symbol < 0) return "the map's type stream is damaged";
    if (symbol == kTypeRunShort || symbol == kTypeRunLong) {
      types[h] = static_cast<uint8_t>(last);
      if (symbol == kTypeRunShort) {
        const int extra = read_map_symbol(bits, codes);
        if (extra < 0) return "the map's type stream is damaged";
        repeat = kShortRunBase + static_cast<uint32_t>(extra);
      } else {
        const int high = read_map_symbol(bits, codes);
        const int low = read_map_symbol(bits, codes);
        if (high < 0 || low < 0) return "the map's type stream is damaged";
        repeat = kLongRunBase + static_cast<uint32_t>(high << kSymbolBits | low);
      }
      if (bits.overrun()) return "the map is cut short";
      continue;
    }
    types[h] = static_cast<uint8_t>(symbol);
    last = symbol;
  }

  hunks->assign(count, ChdHunk{});
  std::vector<uint8_t> raw(static_cast<size_t>(count) * kRawEntryBytes);
  uint64_t next_offset = map.first_offset;
  uint64_t last_self = 0;
  for (uint32_t h = 0; h < count; ++h) {
    ChdHunk& hunk = (*hunks)[h];
    uint8_t type = types[h];
    if (type <= kTypeCodec3) {
      const int slot = type - kTypeCodec0;
      if (header.codecs[slot] == kChdCodecNone) return "a hunk names a codec slot that is empty";
      hunk.store = static_cast<HunkStore>(static_cast<int>(HunkStore::Codec0) + slot);
      hunk.offset = next_offset;
      hunk.length = static_cast<uint32_t>(bits.read(map.length_bits));
      hunk.crc = static_cast<uint16_t>(bits.read(kCrcBits));
      hunk.has_crc = true;
      // Codecs shrink hunks; a stored Deflate block may add a few bytes.
      if (hunk.length == 0 || hunk.length > kMostCompressedGrowth * header.hunk_bytes)
        return "a hunk's length is wrong";
      next_offset += hunk.length;
    } else if (type == kTypeUncompressed) {
      hunk.store = HunkStore::Uncompressed;
      hunk.offset = next_offset;
      hunk.length = header.hunk_bytes;
      hunk.crc = static_cast<uint16_t>(bits.read(kCrcBits));
      hunk.has_crc = true;
      next_offset += hunk.length;
    } else if (type == kTypeSelf || type == kTypeSelfSame || type == kTypeSelfNext) {
      if (type == kTypeSelf) last_self = bits.read(map.self_bits);
      if (type == kTypeSelfNext) ++last_self;
      type = kTypeSelf;
      hunk.store = HunkStore::Self;
      hunk.offset = last_self;
      if (hunk.offset >= h) return "a hunk copies one that does not precede it";
    } else if (type == kTypeParent || (type >= kTypeParentSelf && type <= kTypeParentLast)) {
      return "a hunk lies in a parent CHD";
    } else {
      return "the map names an unknown hunk type";
    }
    if ((hunk.store != HunkStore::Self) && (hunk.offset > file_size || hunk.length > file_size - hunk.offset))
      return "the map points outside the file";
    put_raw_entry(type, hunk, raw.data() + static_cast<size_t>(h) * kRawEntryBytes);
  }
  if (bits.overrun()) return "the map is cut short";
  if (crc16_ccitt(raw.data(), raw.size()) != map.crc) return "the map's checksum is wrong";
  return nullptr;
}

const char* decode_chd_plain_map(const ChdHeader& header, const uint8_t* entries, uint64_t file_size,
                                 std::vector<ChdHunk>* hunks) {
  hunks->assign(header.hunk_count, ChdHunk{});
  for (uint32_t h = 0; h < header.hunk_count; ++h) {
    ChdHunk& hunk = (*hunks)[h];
    const uint64_t block = get_be32(entries + static_cast<size_t>(h) * kChdPlainMapEntryBytes);
    if (block == 0) continue;  // zeros
    hunk.store = HunkStore::Uncompressed;
    hunk.offset = block * header.hunk_bytes;
    hunk.length = header.hunk_bytes;
    if (hunk.offset > file_size || hunk.length > file_size - hunk.offset)
      return "the map points outside the file";
  }
  return nullptr;
}
