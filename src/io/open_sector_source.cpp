// Opening the sector source: the drive check of the input name, the choice
// of plain file, disc image or CD, and the ISO 9660 lookup of the named file.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "format/disc/disc_name.hpp"
#include "io/directory_reader.hpp"
#include "format/disc/iso9660_walk.hpp"
#include "io/cd_sectors.hpp"
#include "io/file_sectors.hpp"
#include "io/sector_source.hpp"
#include "platform/errors.hpp"
#include "platform/host_file.hpp"
#include "state/mode_flags.hpp"

namespace {

// An input name that exists on the host is a plain file unless it lies on a
// CD file system; either way its absolute path replaces input_name. Returns
// where the name on the disc begins inside input_name (past the mount point
// of a mounted CD). A name the host does not know names a file on the disc.
size_t check_drive() {
  if (mode_is(kModeUseInf) || mode_is(kModeDiscAll)) return 0;
  HostFileInfo info;
  if (!probe_host_file(input_name, &info)) return 0;
  if (!info.on_cd_mount) mode_flags |= kModeNoCdrom;
  // A path too long for the name buffer leaves the name as given.
  if (info.full_path.size() >= static_cast<size_t>(kNameBufferSize)) return 0;
  std::memcpy(input_name, info.full_path.c_str(), info.full_path.size() + 1);
  return info.on_cd_mount ? info.mount_prefix : 0;
}

// Finds the file named at input_name + start in the ISO 9660 tree of the
// source and sets current_sector and end_sector to its extent. The name is
// upper-cased in place, as later messages print it. sector_limit bounds every
// directory the walk reads.
void look_up_file(size_t start, uint32_t sector_limit) {
  char* name = input_name + start;
  name += disc_name_start(name);
  upper_case_ascii(name);

  set_sector_mode(kSectorMode2048);
  read_sectors(kVolumeDescriptorSector, 1, sector_buffer);
  const IsoExtent root = root_directory(sector_buffer);
  if (sector_source.kind == SourceKind::Cd) sector_limit = volume_space_size(sector_buffer);
  constexpr uint32_t kLargestSector = std::numeric_limits<int32_t>::max();
  if (sector_limit > kLargestSector) sector_limit = kLargestSector;

  IsoExtent found;
  IsoLookup result;
  {
    DirectoryBuffer directory;
    result = iso_lookup(name, root, sector_limit, read_directory, &directory, &found);
  }

  // A damaged directory is reported as a failed read of the input.
  if (result == IsoLookup::Damaged) fatal_error_name(kErrRead, input_name);
  if (result == IsoLookup::NotFound) fatal_error_name(kErrNotFound, input_name);
  if (!extent_range(found, &current_sector, &end_sector)) fatal_error_name(kErrRead, input_name);
}

}  // namespace

void open_sector_source() {
  const size_t disc_name = check_drive();

  if (mode_is(kModeNoCdrom)) {
    sector_source.kind = SourceKind::PlainFile;
    open_sector_file(input_name, input_name);
    return;
  }
  if (mode_is(kModeImage)) {
    sector_source.kind = SourceKind::DiscImage;
    open_sector_file(image_name, input_name);
    if (mode_is(kModeDiscAll)) return;
    look_up_file(disc_name, static_cast<uint32_t>(end_sector));
    return;
  }
  sector_source.kind = SourceKind::Cd;
  if (mode_is(kModeDiscAll)) {
    open_cd_disc_range();
    return;
  }
  look_up_file(disc_name, 0);
}

void open_whole_image() {
  sector_source.kind = SourceKind::DiscImage;
  open_sector_file(image_name, image_name);
}
