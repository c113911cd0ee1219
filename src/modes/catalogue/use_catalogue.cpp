// -use-inf: the input's sector range taken from its FILE.INF entry, with
// the ordinary opening of the sector source whenever the entry is missing.
#include <cstdio>

#include "format/catalogue/catalogue_lookup.hpp"
#include "format/disc/disc_name.hpp"
#include "io/sector_source.hpp"
#include "io/settings_path.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/catalogue/volume_label.hpp"
#include "platform/errors.hpp"
#include "platform/regular_files.hpp"
#include "state/catalogue_state.hpp"
#include "state/mode_flags.hpp"

namespace {
constexpr char kCatalogueDetail[] = "FILE.INF\n";
}  // namespace

void lookup_catalogue() {
  if (mode_is(kModeImage)) open_whole_image();
  char path[kSettingsPathSize];
  OpenedFile opened;
  if (build_settings_file_path(kCatalogueFileName, path))
    opened = open_input_file(path, InputKind::RegularFile);
  else
    opened.outcome = OpenOutcome::Missing;
  // No catalogue: the input is opened by its name. One that is there but
  // cannot be read (a directory, no permission) is a read error.
  if (opened.outcome == OpenOutcome::Missing) {
    open_sector_source();
    return;
  }
  if (opened.outcome != OpenOutcome::Opened) fatal_error(kErrRead, kCatalogueDetail);
  FILE* file = opened.file;
  upper_case_ascii(input_name);
  const uint8_t* label = read_volume_label();
  StreamPieces lines(file);
  const CatalogueRange range = find_catalogue_range(lines, label, input_name);
  const bool read_failed = std::ferror(file) != 0;
  std::fclose(file);
  if (read_failed) fatal_error(kErrRead, kCatalogueDetail);
  if (!range.found) {
    open_sector_source();
    return;
  }
  current_sector = range.first;
  end_sector = range.end;
}
