// Reading the file boundaries of a disc: the primary volume descriptor's
// identifier is checked, then every directory is walked.
#include "io/disc_files.hpp"

#include <cstring>

#include "io/directory_reader.hpp"
#include "format/disc/iso9660_files.hpp"
#include "format/disc/iso9660_walk.hpp"
#include "io/sector_source.hpp"
#include "state/mode_flags.hpp"

namespace {

// A primary volume descriptor opens with type 1 and the identifier "CD001".
constexpr uint8_t kPrimaryDescriptorType = 1;
constexpr char kStandardIdentifier[] = "CD001";
constexpr int kStandardIdentifierOffset = 1;
constexpr int kStandardIdentifierBytes = 5;

}  // namespace

namespace {

std::vector<int32_t> read_file_boundaries() {
  read_sectors(kVolumeDescriptorSector, 1, sector_buffer);
  if (sector_buffer[0] != kPrimaryDescriptorType ||
      std::memcmp(sector_buffer + kStandardIdentifierOffset, kStandardIdentifier, kStandardIdentifierBytes) != 0)
    return {};
  const IsoExtent root = root_directory(sector_buffer);
  // Every directory the walk reads must lie inside the range.
  const auto limit = static_cast<uint32_t>(end_sector);
  std::vector<IsoExtent> files;
  DirectoryBuffer directory;
  if (!list_iso_files(root, limit, read_directory, &directory, &files)) return {};
  return file_boundaries(files);
}

}  // namespace

std::vector<int32_t> whole_disc_file_boundaries() {
  if (!mode_is(kModeDiscAll) || sector_source.kind == SourceKind::PlainFile) return {};
  if (current_sector > kVolumeDescriptorSector || end_sector <= kVolumeDescriptorSector) return {};
  const int mode = sector_source.sector_mode;
  set_sector_mode(kSectorMode2048);
  std::vector<int32_t> bounds = read_file_boundaries();
  set_sector_mode(mode);
  return bounds;
}
