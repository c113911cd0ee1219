// Opening CHD files and reading their hunks: the map and metadata read
// with bounds taken from the file's size, each hunk decompressed by its
// codec (sector part and subcode part apart), its frames reassembled and
// its CRC-16 checked.
#include "io/chd_image.hpp"

#include <algorithm>
#include <mutex>
#include <string_view>

#include "format/image/chd_cd_frames.hpp"
#include "format/image/chd_tracks.hpp"
#include "format/image/crc16_ccitt.hpp"
#include "io/compression_calls.hpp"
#include "platform/host_file.hpp"
#include "platform/thread_count.hpp"

namespace {

constexpr int kMostMetadataEntries = 1024;   // a chain longer than this is damaged
constexpr uint32_t kLongestTrackText = 256;  // a CHT2 text is under 100 bytes
constexpr uint32_t kMostSectorBytesPerBlock = 2352;  // FLAC blocks of the CD codec

// Reads of the one open CHD file, from the reader's thread and the helpers,
// a seek and its read at a time.
std::mutex file_reads;

bool read_at(FILE* file, uint64_t offset, uint8_t* out, size_t size) {
  const std::lock_guard<std::mutex> hold(file_reads);
  if (!seek_file(file, static_cast<int64_t>(offset))) return false;
  return std::fread(out, 1, size, file) == size;
}

bool fits(const ChdImage& image, uint64_t offset, uint64_t size) {
  return offset <= image.file_size && size <= image.file_size - offset;
}

const char* read_tracks(ChdImage& image) {
  std::vector<ChdTrackText> texts;
  uint64_t at = image.header.meta_offset;
  for (int n = 0; at != 0; ++n) {
    if (n == kMostMetadataEntries) return "the metadata runs in a circle";
    if (!fits(image, at, kChdMetaHeaderBytes)) return "the metadata points outside the file";
    uint8_t head[kChdMetaHeaderBytes];
    if (!read_at(image.file, at, head, sizeof head)) return "the metadata cannot be read";
    const ChdMetaEntry entry = parse_chd_meta_entry(head);
    if (entry.tag == kChdMetaTrack || entry.tag == kChdMetaOldTrack) {
      if (entry.length > kLongestTrackText || !fits(image, at + kChdMetaHeaderBytes, entry.length))
        return "a track entry is damaged";
      std::vector<uint8_t> text(entry.length);
      if (!read_at(image.file, at + kChdMetaHeaderBytes, text.data(), text.size()))
        return "the metadata cannot be read";
      ChdTrackText track;
      const char* fault =
          parse_chd_track_text(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), &track);
      if (fault != nullptr) return fault;
      texts.push_back(track);
    }
    at = entry.next;
  }
  const uint64_t units = image.header.logical_bytes / image.header.unit_bytes;
  return lay_out_chd_tracks(texts, units, &image.tracks);
}

const char* read_map(ChdImage& image) {
  const ChdHeader& h = image.header;
  if (h.codecs[0] == kChdCodecNone) {
    const uint64_t bytes = static_cast<uint64_t>(h.hunk_count) * kChdPlainMapEntryBytes;
    if (!fits(image, h.map_offset, bytes)) return "the map points outside the file";
    std::vector<uint8_t> entries(bytes);
    if (!read_at(image.file, h.map_offset, entries.data(), entries.size())) return "the map cannot be read";
    return decode_chd_plain_map(h, entries.data(), image.file_size, &image.hunks);
  }
  if (!fits(image, h.map_offset, kChdMapHeaderBytes)) return "the map points outside the file";
  uint8_t head[kChdMapHeaderBytes];
  if (!read_at(image.file, h.map_offset, head, sizeof head)) return "the map cannot be read";
  const ChdMapHeader map = parse_chd_map_header(head);
  if (!fits(image, h.map_offset + kChdMapHeaderBytes, map.compressed_bytes))
    return "the map points outside the file";
  std::vector<uint8_t> bits(map.compressed_bytes);
  if (!read_at(image.file, h.map_offset + kChdMapHeaderBytes, bits.data(), bits.size()))
    return "the map cannot be read";
  return decode_chd_map(h, map, bits.data(), bits.size(), image.file_size, &image.hunks);
}

// FLAC block size of the CD codec: a quarter of the sector bytes, halved
// until it is no more than one sector's.
uint32_t cd_flac_block_size(uint32_t sector_bytes) {
  uint32_t block = sector_bytes / 4;
  while (block > kMostSectorBytesPerBlock) block /= 2;
  return block;
}

// The buffers of one hunk's decompression; each thread that decompresses keeps its own.
struct HunkScratch {
  std::vector<uint8_t> compressed, sector_part, subcode_part;
};

// Decompresses a hunk stored with a codec into out (hunk_bytes).
bool decode_codec_hunk(const ChdImage& image, HunkScratch& scratch, uint32_t codec, const uint8_t* data,
                       size_t length, uint8_t* out, uint64_t* frames_rebuilt) {
  const uint32_t frames = image.header.hunk_bytes / kCdFrameBytes;
  const size_t sector_bytes = static_cast<size_t>(frames) * kCdFrameDataBytes;
  const size_t subcode_bytes = static_cast<size_t>(frames) * kCdSubcodeBytes;
  scratch.sector_part.resize(sector_bytes);
  scratch.subcode_part.resize(subcode_bytes);
  uint8_t* sectors = scratch.sector_part.data();
  uint8_t* subcode = scratch.subcode_part.data();
  if (codec == kChdCodecCdFlac) {
    size_t used = 0;
    if (!decode_cd_flac(data, length, cd_flac_block_size(static_cast<uint32_t>(sector_bytes)), sectors,
                        sector_bytes, &used))
      return false;
    if (!inflate_raw(data + used, length - used, subcode, subcode_bytes)) return false;
    assemble_cd_frames(sectors, subcode, frames, nullptr, out);
    return true;
  }
  CdHunkParts parts;
  if (!split_cd_hunk(data, length, image.header.hunk_bytes, &parts)) return false;
  const uint8_t* base = data + parts.base_offset;
  const uint8_t* sub = data + parts.subcode_offset;
  bool ok = false;
  if (codec == kChdCodecCdLzma)
    ok = decode_lzma_raw(base, parts.base_length, sectors, sector_bytes) &&
         inflate_raw(sub, parts.subcode_length, subcode, subcode_bytes);
  else if (codec == kChdCodecCdZlib)
    ok = inflate_raw(base, parts.base_length, sectors, sector_bytes) &&
         inflate_raw(sub, parts.subcode_length, subcode, subcode_bytes);
  else if (codec == kChdCodecCdZstd)
    ok = decode_zstd(base, parts.base_length, sectors, sector_bytes) &&
         decode_zstd(sub, parts.subcode_length, subcode, subcode_bytes);
  if (!ok) return false;
  assemble_cd_frames(sectors, subcode, frames, parts.rebuild_flags, out);
  for (uint32_t f = 0; f < frames; ++f)
    if (parts.rebuild_flags[f / 8] & (1u << (f % 8))) ++*frames_rebuilt;
  return true;
}

const char* decode_hunk(const ChdImage& image, HunkScratch& scratch, uint32_t number, uint8_t* out,
                        uint64_t* frames_rebuilt) {
  const ChdHunk& hunk = image.hunks[number];
  const uint32_t size = image.header.hunk_bytes;
  switch (hunk.store) {
    case HunkStore::Zeros:
      std::fill(out, out + size, 0);
      return nullptr;
    case HunkStore::Uncompressed:
      if (!read_at(image.file, hunk.offset, out, size)) return "a hunk cannot be read";
      break;
    case HunkStore::Self:
      return "a copied hunk was not followed";  // resolved by the caller
    default: {
      scratch.compressed.resize(hunk.length);
      if (!read_at(image.file, hunk.offset, scratch.compressed.data(), hunk.length))
        return "a hunk cannot be read";
      const uint32_t codec = image.header.codecs[static_cast<int>(hunk.store) - static_cast<int>(HunkStore::Codec0)];
      if (!decode_codec_hunk(image, scratch, codec, scratch.compressed.data(), hunk.length, out, frames_rebuilt))
        return "a hunk does not decompress";
      break;
    }
  }
  if (hunk.has_crc && crc16_ccitt(out, size) != hunk.crc) return "a hunk's checksum is wrong";
  return nullptr;
}

// A copy of an earlier hunk is read as that hunk; each copy points further back.
uint32_t original_hunk(const ChdImage& image, uint32_t number) {
  while (image.hunks[number].store == HunkStore::Self) number = static_cast<uint32_t>(image.hunks[number].offset);
  return number;
}

}  // namespace

const char* open_chd_image(FILE* file, ChdImage* image, bool* needs_parent) {
  *needs_parent = false;
  image->file = file;
  int64_t size = 0;
  if (!file_size(file, &size) || size < 0) return "the file cannot be measured";
  image->file_size = static_cast<uint64_t>(size);
  uint8_t head[kChdV5HeaderBytes] = {};
  const size_t got = seek_file(file, 0) ? std::fread(head, 1, sizeof head, file) : 0;
  const char* fault = parse_chd_header(head, got, &image->header);
  if (fault != nullptr) {
    *needs_parent = image->header.has_parent;
    return fault;
  }
  if (!compression_libraries_present()) return "this build reads no CHD images";
  fault = read_map(*image);
  if (fault == nullptr) fault = read_tracks(*image);
  return fault;
}

void close_chd_image(ChdImage* image) {
  image->cache.reset();
  *image = ChdImage{};
}

const char* read_chd_frame(ChdImage& image, uint64_t frame, const uint8_t** bytes) {
  const uint32_t frames_per_hunk = image.header.hunk_bytes / kCdFrameBytes;
  const uint64_t wanted = frame / frames_per_hunk;
  if (wanted >= image.hunks.size()) return "a frame beyond the end of the CHD";
  const size_t offset = static_cast<size_t>(frame % frames_per_hunk) * kCdFrameBytes;
  if (wanted == image.last_hunk) {
    *bytes = image.last_bytes + offset;
    return nullptr;
  }
  image.last_hunk = UINT32_MAX;
  if (!image.cache) {
    auto decode = [&image](uint32_t number, uint8_t* out, uint64_t* rebuilt) {
      thread_local HunkScratch scratch;
      return decode_hunk(image, scratch, number, out, rebuilt);
    };
    const unsigned threads = thread_count();
    image.cache = std::make_unique<ChdHunkCache>(image.header.hunk_bytes, threads > 1 ? threads : 0, decode);
  }
  // A sequential read goes on to the end of the frame's track, not into the next one.
  uint64_t track_end = image.hunks.size();
  for (const DiscTrack& t : image.tracks)
    if (frame >= t.location && frame - t.location < static_cast<uint64_t>(t.sectors))
      track_end = std::min<uint64_t>(track_end, (t.location + t.sectors - 1) / frames_per_hunk + 1);
  image.ahead.clear();
  for (uint64_t next = wanted + 1; next < track_end && image.ahead.size() < kChdHunksReadAhead; ++next)
    image.ahead.push_back(original_hunk(image, static_cast<uint32_t>(next)));

  const uint8_t* hunk = nullptr;
  const char* fault = image.cache->hunk(original_hunk(image, static_cast<uint32_t>(wanted)), image.ahead, &hunk);
  if (fault != nullptr) return fault;
  image.last_hunk = static_cast<uint32_t>(wanted);
  image.last_bytes = hunk;
  *bytes = hunk + offset;
  return nullptr;
}

uint64_t chd_hunks_decoded(ChdImage& image) { return image.cache ? image.cache->hunks_decoded() : 0; }
uint64_t chd_frames_rebuilt(ChdImage& image) { return image.cache ? image.cache->frames_rebuilt() : 0; }
