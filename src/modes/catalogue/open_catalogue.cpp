// Opening FILE.INF for an analysis run and starting its record.
#include <cstdio>

#include "base/exit_finishers.hpp"
#include "base/messages.hpp"
#include "format/catalogue/entry_name.hpp"
#include "io/catalogue_record.hpp"
#include "io/output_file.hpp"
#include "io/settings_path.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/catalogue/volume_label.hpp"
#include "platform/errors.hpp"
#include "platform/record_append.hpp"
#include "platform/regular_files.hpp"
#include "state/catalogue_state.hpp"
#include "state/mode_flags.hpp"

namespace {


// Opens the catalogue for appending, creating it when it does not exist
// yet. It must be a regular file, and neither the input, the disc image
// nor KORVANE.INI under another name.
FILE* open_for_appending(const char* path) {
  const ProtectedFiles avoid = protected_files(false);
  const OpenedFile opened = open_output_file(path, OutputKind::Append, avoid.files, avoid.count);
  if (opened.outcome != OpenOutcome::Opened) fatal_error(kErrOpen, message_text(Msg::CatalogueNotCreated));
  return opened.file;
}

}  // namespace

bool append_catalogue_record() {
  const bool appended =
      append_whole_record(catalogue.stream, catalogue.record.data(), catalogue.record.size());
  const bool closed = std::fclose(catalogue.stream) == 0;
  catalogue.stream = nullptr;
  catalogue.record.clear();
  return appended && closed;
}

void append_record_early() {
  if (catalogue.stream != nullptr) append_catalogue_record();
}

void open_catalogue() {
  char path[kSettingsPathSize];
  if (!build_settings_file_path(kCatalogueFileName, path)) fatal_error(kErrOpen, message_text(Msg::CatalogueNotCreated));
  catalogue.stream = open_for_appending(path);
  catalogue.record.clear();
  add_volume_line(catalogue.record, read_volume_label());
  catalogue.base_end = build_entry_base(input_name, catalogue.entry_name);
  add_exit_finisher(append_record_early);
}
