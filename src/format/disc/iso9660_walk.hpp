// ISO 9660 file lookup over directory bytes: the primary volume descriptor's
// root record, the records of a directory block, and the walk from the root
// down the components of a name. Pure: the directory bytes come from a
// reader the caller supplies.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t kVolumeDescriptorSector = 16;  // the primary volume descriptor
constexpr int kRootRecordOffset = 156;           // root directory record in the descriptor
constexpr int kVolumeSpaceSizeOffset = 80;       // sectors of the volume, little-endian half
constexpr int kVolumeIdOffset = 40;              // 32-byte volume identifier
constexpr int kVolumeIdBytes = 32;

// Directory record fields, offsets into the record.
constexpr int kRecordLengthOffset = 0;
constexpr int kRecordExtentOffset = 2;       // little-endian half of the both-endian field
constexpr int kRecordDataLengthOffset = 10;  // little-endian half of the both-endian field
constexpr int kRecordFlagsOffset = 25;
constexpr int kRecordIdLengthOffset = 32;
constexpr int kRecordIdOffset = 33;          // also the smallest record that holds its fields
constexpr uint8_t kRecordFlagDirectory = 0x02;
constexpr int kVersionSuffixBytes = 2;       // ";1" after a file identifier, never compared

// No real disc has a directory this large; a longer one means a damaged record
// and is refused before anything is allocated.
constexpr uint32_t kMaxDirectoryBytes = 16u << 20;

struct IsoExtent {
  uint32_t location = 0;  // first sector
  uint32_t length = 0;    // data length in bytes
};

// The root directory's extent, from the primary volume descriptor (2048 bytes).
IsoExtent root_directory(const uint8_t* descriptor);

// Sectors the volume claims to hold, from the primary volume descriptor.
uint32_t volume_space_size(const uint8_t* descriptor);

// Whole 2048-byte blocks an extent covers.
uint64_t extent_blocks(const IsoExtent& extent);

// The sector range of a found file: first = location, end = location plus its
// blocks. False when the end does not fit a sector number.
bool extent_range(const IsoExtent& extent, int32_t* first, int32_t* end);

enum class DirectoryScan {
  NotFound,  // no record matched the component
  Found,     // the name ends after the matching record
  Descend,   // a directory matched and a separator follows: walk it
  Damaged,   // a record does not fit its block, or its identifier its record
};

struct DirectoryMatch {
  DirectoryScan result = DirectoryScan::NotFound;
  IsoExtent extent;        // Found, Descend: the matching record's extent
  size_t next_component = 0;  // Descend: index of the component after the separator
};

// Looks for the component of name starting at index component among the
// records of a directory of block_count 2048-byte blocks. Directory
// identifiers are compared whole, file identifiers without their last two
// bytes; an identifier must match the name exactly up to the next separator
// or the end. Records whose compared part is empty never match.
DirectoryMatch scan_directory(const uint8_t* blocks, size_t block_count, const char* name,
                              size_t component);

enum class IsoLookup { Found, NotFound, Damaged };

// Supplies sectors x 2048 bytes of directory starting at location; the bytes
// stay valid until the next call.
using DirectoryReader = const uint8_t* (*)(void* context, uint32_t location, uint32_t sectors);

// Walks from the root directory down the components of name (already
// stripped of drive and leading separator, and upper-cased). Every directory
// is checked before it is read: longer than kMaxDirectoryBytes, or reaching
// past sector_limit, is Damaged; so is a directory met twice on the way down
// (a directory that contains itself).
IsoLookup iso_lookup(const char* name, const IsoExtent& root, uint32_t sector_limit,
                     DirectoryReader read_directory, void* context, IsoExtent* found);
