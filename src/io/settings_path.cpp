// The directory of korvane.ini and FILE.INF, and the file paths built in it.
#include "io/settings_path.hpp"

#include <cstring>

#include "platform/environment.hpp"
#include "state/mode_flags.hpp"

namespace {

bool ends_in_separator(const char* text, size_t length) {
  if (length == 0) return false;
  const char last = text[length - 1];
  return last == '/' || last == '\\';
}

}  // namespace

bool compose_settings_file_path(const char* path_option, const char* environment,
                                const char* file_name, char* out, size_t out_size) {
  const char* directory = path_option != nullptr ? path_option : environment;
  if (directory == nullptr) directory = "";
  const size_t directory_length = std::strlen(directory);
  const bool add_separator = directory_length != 0 && !ends_in_separator(directory, directory_length);
  const size_t name_length = std::strlen(file_name);
  const size_t total = directory_length + (add_separator ? 1 : 0) + name_length;
  if (out_size == 0) return false;
  if (total >= out_size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, directory, directory_length);
  size_t at = directory_length;
  if (add_separator) out[at++] = kDirectorySeparator;
  std::memcpy(out + at, file_name, name_length + 1);
  return true;
}

bool build_settings_file_path(const char* file_name, char out[kSettingsPathSize]) {
  const char* path_option = (override_flags & kOverridePath) != 0 ? settings_path : nullptr;
  return compose_settings_file_path(path_option, environment_value("KORVANE_PATH"), file_name,
                                    out, kSettingsPathSize);
}
