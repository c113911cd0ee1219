// The checked creation of output files.
#include "io/output_file.hpp"

#include "io/sector_source.hpp"
#include "io/settings_path.hpp"
#include "platform/errors.hpp"
#include "state/catalogue_state.hpp"

namespace {

void add_path(ProtectedFiles& files, const char* file_name) {
  char path[kSettingsPathSize];
  if (!build_settings_file_path(file_name, path)) return;
  const FileIdentity identity = identity_of_path(path);
  if (identity.known) files.files[files.count++] = identity;
}

}  // namespace

ProtectedFiles protected_files(bool with_catalogue) {
  ProtectedFiles files;
  if (sector_source.identity.known) files.files[files.count++] = sector_source.identity;
  add_path(files, kSettingsFileName);
  if (with_catalogue) add_path(files, kCatalogueFileName);
  return files;
}

FILE* create_output_or_fail(const char* name) {
  const ProtectedFiles avoid = protected_files(true);
  const OpenedFile opened = open_output_file(name, OutputKind::Replace, avoid.files, avoid.count);
  if (opened.outcome != OpenOutcome::Opened) fatal_error_name(kErrOpen, name);
  return opened.file;
}
