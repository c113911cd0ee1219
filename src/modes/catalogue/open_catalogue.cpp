// Opening FILE.INF for an analysis run and starting its record.
#include <cstdio>

#include "base/messages.hpp"
#include "format/catalogue/entry_name.hpp"
#include "io/catalogue_record.hpp"
#include "io/settings_path.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/catalogue/volume_label.hpp"
#include "platform/errors.hpp"
#include "state/catalogue_state.hpp"
#include "state/mode_flags.hpp"

namespace {

constexpr char kCatalogueDetail[] = "FILE.INF\n";

// Opens the catalogue for reading and writing, creating it empty first when
// it does not exist yet.
FILE* open_for_update(const char* path) {
  FILE* file = std::fopen(path, "r+b");
  if (file != nullptr) return file;
  FILE* created = std::fopen(path, "wb");
  if (created == nullptr) fatal_error(kErrOpen, message_text(Msg::CatalogueNotCreated));
  std::fclose(created);
  file = std::fopen(path, "r+b");
  if (file == nullptr) fatal_error(kErrOpen, message_text(Msg::CatalogueNotCreated));
  return file;
}

}  // namespace

void require_written(bool written) {
  if (!written) fatal_error(kErrWrite, kCatalogueDetail);
}

void open_catalogue() {
  char path[kSettingsPathSize];
  if (!build_settings_file_path(kCatalogueFileName, path)) fatal_error(kErrOpen, message_text(Msg::CatalogueNotCreated));
  FILE* file = open_for_update(path);
  if (std::fseek(file, 0, SEEK_END) != 0) fatal_error(kErrRead, kCatalogueDetail);
  catalogue.stream = file;
  require_written(write_volume_line(file, read_volume_label()));
  catalogue.base_end = build_entry_base(input_name, catalogue.entry_name);
}
