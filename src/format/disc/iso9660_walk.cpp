// The ISO 9660 directory walk: record checks, component matching, descent.
#include "format/disc/iso9660_walk.hpp"

#include <limits>
#include <vector>

#include "base/byte_order.hpp"
#include "format/disc/disc_name.hpp"
#include "format/disc/xa_sector.hpp"

namespace {

IsoExtent record_extent(const uint8_t* record) {
  return {get_le32(record + kRecordExtentOffset), get_le32(record + kRecordDataLengthOffset)};
}

// The first count bytes of the name equal the identifier; the name's
// terminator never matches.
bool component_matches(const char* name, const uint8_t* identifier, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (name[i] == '\0' || static_cast<uint8_t>(name[i]) != identifier[i]) return false;
  }
  return true;
}

bool directory_fits(const IsoExtent& extent, uint32_t sector_limit) {
  if (extent.length > kMaxDirectoryBytes) return false;
  return extent.location + extent_blocks(extent) <= sector_limit;
}

}  // namespace

IsoExtent root_directory(const uint8_t* descriptor) {
  return record_extent(descriptor + kRootRecordOffset);
}

uint32_t volume_space_size(const uint8_t* descriptor) {
  return get_le32(descriptor + kVolumeSpaceSizeOffset);
}

uint64_t extent_blocks(const IsoExtent& extent) {
  return (static_cast<uint64_t>(extent.length) + kUserDataBytes - 1) / kUserDataBytes;
}

bool extent_range(const IsoExtent& extent, int32_t* first, int32_t* end) {
  const uint64_t last = extent.location + extent_blocks(extent);
  if (last > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
  *first = static_cast<int32_t>(extent.location);
  *end = static_cast<int32_t>(last);
  return true;
}

DirectoryMatch scan_directory(const uint8_t* blocks, size_t block_count, const char* name,
                              size_t component) {
  DirectoryMatch match;
  for (size_t b = 0; b < block_count; ++b) {
    const uint8_t* block = blocks + b * kUserDataBytes;
    size_t offset = 0;
    while (offset < static_cast<size_t>(kUserDataBytes)) {
      const uint8_t* record = block + offset;
      const size_t length = record[kRecordLengthOffset];
      if (length == 0) break;  // the rest of the block is padding
      if (length < static_cast<size_t>(kRecordIdOffset) ||
          offset + length > static_cast<size_t>(kUserDataBytes)) {
        match.result = DirectoryScan::Damaged;
        return match;
      }
      const size_t id_length = record[kRecordIdLengthOffset];
      if (kRecordIdOffset + id_length > length) {
        match.result = DirectoryScan::Damaged;
        return match;
      }
      const bool is_directory = (record[kRecordFlagsOffset] & kRecordFlagDirectory) != 0;
      size_t compared = id_length;
      if (!is_directory) compared = id_length > kVersionSuffixBytes ? id_length - kVersionSuffixBytes : 0;

      if (compared > 0 && component_matches(name + component, record + kRecordIdOffset, compared)) {
        const char after = name[component + compared];
        if (after == '\0') {
          match.result = DirectoryScan::Found;
          match.extent = record_extent(record);
          return match;
        }
        if (is_disc_separator(after) && is_directory) {
          match.result = DirectoryScan::Descend;
          match.extent = record_extent(record);
          match.next_component = component + compared + 1;
          return match;
        }
      }
      offset += length;
    }
  }
  return match;
}

IsoLookup iso_lookup(const char* name, const IsoExtent& root, uint32_t sector_limit,
                     DirectoryReader read_directory, void* context, IsoExtent* found) {
  // Each descent consumes at least one character and a separator of the name,
  // so the walk ends; the visited list catches a directory that leads back
  // to one already walked.
  std::vector<uint32_t> visited;
  IsoExtent directory = root;
  size_t component = 0;
  for (;;) {
    if (!directory_fits(directory, sector_limit)) return IsoLookup::Damaged;
    for (uint32_t location : visited)
      if (location == directory.location) return IsoLookup::Damaged;
    visited.push_back(directory.location);

    const auto blocks = static_cast<uint32_t>(extent_blocks(directory));
    const uint8_t* bytes = blocks == 0 ? nullptr : read_directory(context, directory.location, blocks);
    if (blocks != 0 && bytes == nullptr) return IsoLookup::Damaged;

    const DirectoryMatch match = scan_directory(bytes, blocks, name, component);
    switch (match.result) {
      case DirectoryScan::NotFound:
        return IsoLookup::NotFound;
      case DirectoryScan::Damaged:
        return IsoLookup::Damaged;
      case DirectoryScan::Found:
        *found = match.extent;
        return IsoLookup::Found;
      case DirectoryScan::Descend:
        directory = match.extent;
        component = match.next_component;
        break;
    }
  }
}
