// Reading and creating korvane.ini.
#include "app/settings_file.hpp"

#include <cstring>

#include "app/default_settings_text.hpp"
#include "base/messages.hpp"
#include "io/settings_path.hpp"
#include "platform/errors.hpp"
#include "platform/regular_files.hpp"
#include "platform/text_file.hpp"
#include "state/mode_flags.hpp"

namespace {

constexpr int32_t kAny = INT32_MIN;
constexpr int32_t kAnyMax = INT32_MAX;

const SettingKey kSettingKeys[] = {
    {"CDDrive", ValueSyntax::AdapterTarget, &Settings::CDDriveAdapter, &Settings::CDDriveTarget,
     kOverrideCdDrive, kAny, kAnyMax},
    {"CDChangeSpeed", ValueSyntax::OnOff, &Settings::CDChangeSpeed, nullptr, 0, 0, 1},
    {"FCSearch", ValueSyntax::OptionOrAuto, &Settings::FCSearch, nullptr, kOverrideFcSearch, 0, 1},
    {"PreLoadFrame", ValueSyntax::Number, &Settings::PreLoadFrame, nullptr, kOverridePreLoadFrame,
     8, 32},
    {"MMX", ValueSyntax::OnOff, &Settings::MMX, nullptr, kOverrideMmx, 0, 1},
    {"CdReadSector", ValueSyntax::Number, &Settings::CdReadSector, nullptr, kOverrideCdReadSector,
     0, 16},
    {"Sound", ValueSyntax::OnOff, &Settings::Sound, nullptr, kOverrideSound, 0, 1},
    {"SoundVolume", ValueSyntax::Number, &Settings::SoundVolume, nullptr, kOverrideSoundVolume, 0,
     100},
    {"Fixed", ValueSyntax::OnOff, &Settings::Fixed, nullptr, kOverrideFixed, 0, 1},
    {"ModeX", ValueSyntax::OnOff, &Settings::ModeX, nullptr, kOverrideModeX, 0, 1},
    {"DisplayMode", ValueSyntax::Number, &Settings::DisplayMode, nullptr, kOverrideDisplayMode, 0,
     2},
    {"Filter", ValueSyntax::OnOff, &Settings::Filter, nullptr, kOverrideFilter, 0, 1},
    {"StartWait", ValueSyntax::Number, &Settings::StartWait, nullptr, kOverrideStartWait, kAny,
     kAnyMax},
    {"PlayWait", ValueSyntax::OnOff, &Settings::PlayWait, nullptr, kOverridePlayWait, 0, 1},
    // Not in the default text: the messages stay Japanese unless it is added.
    {"Language", ValueSyntax::Language, &Settings::Language, nullptr, 0, 0, 1},
};

// The values a key takes when neither the file nor the command line gives it.
const Settings kDefaultSettings{};

[[noreturn]] void settings_invalid() { fatal_error(kErrSettings, message_text(Msg::SettingsInvalid)); }

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool given_on_command_line(const SettingKey& key) { return (override_flags & key.override_bit) != 0; }

void set_default(const SettingKey& key) {
  settings.*key.field = kDefaultSettings.*key.field;
  if (key.second_field != nullptr) settings.*key.second_field = kDefaultSettings.*key.second_field;
}

}  // namespace

std::span<const SettingKey> setting_keys() { return kSettingKeys; }

bool setting_value_in_line(const char* line, const char* key, const char*& value, size_t& length) {
  // A line feed ends the line; a carriage return just before it belongs to
  // the line ending.
  size_t end = std::strlen(line);
  if (end > 0 && line[end - 1] == '\n') {
    --end;
    if (end > 0 && line[end - 1] == '\r') --end;
  }
  const size_t key_length = std::strlen(key);
  if (end < key_length || std::strncmp(line, key, key_length) != 0) return false;

  size_t at = key_length;
  while (at < end && is_blank(line[at])) ++at;
  while (at < end && line[at] != '=') ++at;
  if (at == end) return false;
  ++at;  // past "="
  while (at < end && is_blank(line[at])) ++at;
  if (at == end) return false;
  value = line + at;
  length = end - at;
  return true;
}

void apply_setting_value(const SettingKey& key, const char* value, Settings& target,
                         ParseFailure reject) {
  const char* cursor = value;
  switch (key.syntax) {
    case ValueSyntax::Number: {
      const int32_t number = parse_signed_number(cursor, '\0', reject);
      if (number < key.min || number > key.max) {
        reject();
        return;
      }
      target.*key.field = number;
      return;
    }
    case ValueSyntax::AdapterTarget: {
      const int32_t adapter = parse_signed_number(cursor, '/', reject);
      const int32_t id = parse_signed_number(cursor, '\0', reject);
      target.*key.field = adapter;
      target.*key.second_field = id;
      return;
    }
    case ValueSyntax::OnOff: {
      const int on = parse_on_off(value);
      if (on < 0) {
        reject();
        return;
      }
      target.*key.field = on;
      return;
    }
    case ValueSyntax::OptionOrAuto:
      if (match_keyword(cursor, '\0', "OPTION")) {
        target.*key.field = 0;
      } else if (match_keyword(cursor, '\0', "AUTO")) {
        target.*key.field = 1;
      } else {
        reject();
      }
      return;
    case ValueSyntax::Language: {
      Language language = Language::Japanese;
      if (!parse_language(value, &language)) {
        reject();
        return;
      }
      target.*key.field = language == Language::English ? 1 : 0;
      return;
    }
  }
}

const char* settings_conflict(const Settings& s) {
  if (s.MMX == 0 && s.Fixed != 0) return message_text(Msg::FixedNeedsMmx);
  if (s.MMX == 0 && s.Filter != 0) return message_text(Msg::FilterNeedsMmx);
  return nullptr;
}

void apply_filter_rule(Settings& s) {
  if (s.Filter != 0) {
    s.Fixed = 0;
    s.DisplayMode = 1;
  }
}

bool find_setting(FILE* file, const char* key, char line[kSettingsLineSize]) {
  if (std::fseek(file, 0, SEEK_SET) != 0) settings_invalid();
  // Longer lines arrive in pieces, each piece taken as a line of its own.
  while (std::fgets(line, static_cast<int>(kSettingsLineSize), file) != nullptr) {
    const char* value = nullptr;
    size_t length = 0;
    if (!setting_value_in_line(line, key, value, length)) continue;
    std::memmove(line, value, length);
    line[length] = '\0';
    return true;
  }
  if (std::ferror(file)) settings_invalid();
  return false;
}

void write_default_settings(const char* path) {
  // Line endings are written as CR LF by hand.
  FILE* file = open_output_file(path, OutputKind::Replace, nullptr, 0).file;
  if (file == nullptr) return;
  for (const char* text : kDefaultSettingsWrites) text_file_write(file, text);
  std::fclose(file);
}

void read_settings() {
  char path[kSettingsPathSize];
  if (!build_settings_file_path(kSettingsFileName, path))
    fatal_error(kErrSettings, message_text(Msg::SettingsPathTooLong));

  OpenedFile opened = open_input_file(path, InputKind::RegularFile);
  settings.CDChangeSpeed = 0;
  if (opened.outcome == OpenOutcome::Missing) {
    write_default_settings(path);
    opened = open_input_file(path, InputKind::RegularFile);
  }
  // A settings file that is there but is no regular file (a FIFO would
  // never deliver a line) or cannot be read is invalid.
  if (opened.outcome != OpenOutcome::Opened && opened.outcome != OpenOutcome::Missing)
    settings_invalid();
  FILE* file = opened.file;
  if (file == nullptr) {
    // Neither readable nor creatable: defaults, and no consistency checks.
    for (const SettingKey& key : kSettingKeys)
      if (!given_on_command_line(key)) set_default(key);
    return;
  }

  read_settings_from(file);
  std::fclose(file);
  check_settings();
}

void read_settings_from(FILE* file) {
  char line[kSettingsLineSize];
  for (const SettingKey& key : kSettingKeys) {
    if (given_on_command_line(key)) continue;
    set_default(key);
    if (!find_setting(file, key.key, line)) continue;
    apply_setting_value(key, line, settings, settings_invalid);
  }
}

void check_settings() {
  if (const char* conflict = settings_conflict(settings)) fatal_error(kErrSettings, conflict);
  apply_filter_rule(settings);
}
