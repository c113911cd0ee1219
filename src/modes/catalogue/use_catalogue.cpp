// -use-inf: the input's sector range taken from its FILE.INF entry, with
// the ordinary opening of the sector source whenever the entry is missing.
#include <cstdio>

#include "format/catalogue/catalogue_lookup.hpp"
#include "format/disc/disc_name.hpp"
#include "io/sector_source.hpp"
#include "io/settings_path.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/catalogue/volume_label.hpp"
#include "state/catalogue_state.hpp"
#include "state/mode_flags.hpp"

void lookup_catalogue() {
  if (mode_is(kModeImage)) open_whole_image();
  char path[kSettingsPathSize];
  FILE* file = build_settings_file_path(kCatalogueFileName, path) ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) {
    open_sector_source();
    return;
  }
  upper_case_ascii(input_name);
  const uint8_t* label = read_volume_label();
  StreamPieces lines(file);
  const CatalogueRange range = find_catalogue_range(lines, label, input_name);
  std::fclose(file);
  if (!range.found) {
    open_sector_source();
    return;
  }
  current_sector = range.first;
  end_sector = range.end;
}
