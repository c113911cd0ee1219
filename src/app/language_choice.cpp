// Choosing the message language at start-up, ahead of the command line's
// own parsing, so that even the usage text comes out in it.
#include "app/language_choice.hpp"

#include <cstdio>

#include "app/command_line.hpp"
#include "app/settings_file.hpp"
#include "base/messages.hpp"
#include "io/settings_path.hpp"
#include "platform/environment.hpp"
#include "platform/regular_files.hpp"
#include "state/mode_flags.hpp"

namespace {

// The text of the last -path: option, or nullptr when there is none.
const char* path_option(int argc, char** argv) {
  const char* path = nullptr;
  const auto options = setting_options();
  for (int i = 1; i < argc; ++i) {
    if (!is_option_argument(argv[i])) continue;
    const char* rest = nullptr;
    const int index = match_option(options, argv[i] + 1, rest);
    if (index >= 0 && (1u << index) == kOverridePath) path = rest;
  }
  return path;
}

// The language the settings file names, if it exists and names one.
bool language_in_settings_file(int argc, char** argv, Language* language) {
  char path[kSettingsPathSize];
  if (!compose_settings_file_path(path_option(argc, argv), environment_value("KORVANE_PATH"),
                                  kSettingsFileName, path, sizeof path))
    return false;
  // Only a regular file is read: a FIFO would never deliver a line (reading
  // the settings later reports it).
  FILE* file = open_input_file(path, InputKind::RegularFile).file;
  if (file == nullptr) return false;
  char line[kSettingsLineSize];
  const bool found = find_setting(file, "Language", line) && parse_language(line, language);
  std::fclose(file);
  return found;
}

}  // namespace

void choose_language(int argc, char** argv) {
  Language language = Language::Japanese;
  const char* chosen = environment_value(kLanguageVariable);
  if ((chosen != nullptr && parse_language(chosen, &language)) ||
      language_in_settings_file(argc, argv, &language))
    set_message_language(language);
}
