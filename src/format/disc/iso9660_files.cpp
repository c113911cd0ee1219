// Listing the files of an ISO 9660 tree: a breadth-first walk over the
// directory records, skipping each directory's "." and ".." entries.
#include "format/disc/iso9660_files.hpp"

#include <algorithm>
#include <unordered_set>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"

namespace {

// A disc never holds more directories than this; a tree that claims more is
// damaged (or loops through records that lead back to each other).
constexpr size_t kMaxDirectories = 65536;
// Nor directories of more bytes in all than this (a 700 MB disc of small
// files needs a few megabytes); a tree claiming more is read no further.
constexpr uint64_t kMaxTotalDirectoryBytes = uint64_t{64} << 20;
// Identifiers of a directory's own record and its parent's: one byte, 0 or 1.
constexpr uint8_t kSelfIdentifier = 0;
constexpr uint8_t kParentIdentifier = 1;

IsoExtent record_extent(const uint8_t* record) {
  return {get_le32(record + kRecordExtentOffset), get_le32(record + kRecordDataLengthOffset)};
}

bool is_self_or_parent(const uint8_t* record) {
  return record[kRecordIdLengthOffset] == 1 &&
         (record[kRecordIdOffset] == kSelfIdentifier || record[kRecordIdOffset] == kParentIdentifier);
}

// Adds the records of one directory to the lists; false when a record does
// not fit its block or its identifier its record.
bool read_records(const uint8_t* blocks, size_t block_count, std::vector<IsoExtent>* directories,
                  std::vector<IsoExtent>* files) {
  for (size_t b = 0; b < block_count; ++b) {
    const uint8_t* block = blocks + b * kUserDataBytes;
    size_t offset = 0;
    while (offset < static_cast<size_t>(kUserDataBytes)) {
      const uint8_t* record = block + offset;
      const size_t length = record[kRecordLengthOffset];
      if (length == 0) break;  // the rest of the block is padding
      if (length < static_cast<size_t>(kRecordIdOffset) || offset + length > static_cast<size_t>(kUserDataBytes))
        return false;
      if (kRecordIdOffset + static_cast<size_t>(record[kRecordIdLengthOffset]) > length) return false;
      if (!is_self_or_parent(record)) {
        const bool is_directory = (record[kRecordFlagsOffset] & kRecordFlagDirectory) != 0;
        (is_directory ? directories : files)->push_back(record_extent(record));
      }
      offset += length;
    }
  }
  return true;
}

}  // namespace

bool list_iso_files(const IsoExtent& root, uint32_t sector_limit, DirectoryReader read_directory,
                    void* context, std::vector<IsoExtent>* files) {
  std::vector<IsoExtent> pending = {root};
  std::unordered_set<uint32_t> visited;
  uint64_t total_bytes = 0;
  while (!pending.empty()) {
    const IsoExtent directory = pending.back();
    pending.pop_back();
    if (visited.count(directory.location) != 0) continue;
    if (visited.size() == kMaxDirectories) return false;
    visited.insert(directory.location);
    if (directory.length > kMaxDirectoryBytes ||
        directory.location + extent_blocks(directory) > sector_limit)
      return false;
    const auto blocks = static_cast<uint32_t>(extent_blocks(directory));
    if (blocks == 0) continue;
    total_bytes += static_cast<uint64_t>(blocks) * kUserDataBytes;
    if (total_bytes > kMaxTotalDirectoryBytes) return false;
    const uint8_t* bytes = read_directory(context, directory.location, blocks);
    if (bytes == nullptr || !read_records(bytes, blocks, &pending, files)) return false;
  }
  return true;
}

std::vector<int32_t> file_boundaries(const std::vector<IsoExtent>& files) {
  std::vector<int32_t> bounds;
  for (const IsoExtent& f : files) {
    int32_t first = 0, end = 0;
    if (!extent_range(f, &first, &end)) continue;
    bounds.push_back(first);
    bounds.push_back(end);
  }
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
  return bounds;
}

int32_t next_file_boundary(const std::vector<int32_t>& boundaries, int32_t sector, int32_t limit) {
  const auto above = std::upper_bound(boundaries.begin(), boundaries.end(), sector);
  return above != boundaries.end() && *above < limit ? *above : limit;
}
