// korvane.ini: located through -path: or KORVANE_PATH, created with its
// commented default text when missing, read key by key for every setting the
// command line did not give, range-checked, and checked for the MMX rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include "base/text_parsing.hpp"
#include "io/settings_path.hpp"
#include "state/settings.hpp"

// Longest line piece read at once (the buffer holds it and its zero).
constexpr size_t kSettingsLineSize = 512;

enum class ValueSyntax {
  Number,         // signed number, range-checked
  AdapterTarget,  // signed number "/" signed number
  OnOff,          // ON or OFF
  OptionOrAuto,   // OPTION (0) or AUTO (1)
  Language,       // JA (0) or EN (1)
};

struct SettingKey {
  const char* key;
  ValueSyntax syntax;
  int32_t Settings::*field;
  int32_t Settings::*second_field;  // AdapterTarget: the target id
  uint32_t override_bit;            // 0: no command-line option
  int32_t min;
  int32_t max;
};

// The keys in the order they are read.
std::span<const SettingKey> setting_keys();

// Kernel of find_setting for one line (its ending included or not): true
// when the line starts with the key (case-sensitive, matched as a prefix)
// and holds a non-empty value after "="; value and length then delimit it,
// up to the line ending, trailing blanks included.
bool setting_value_in_line(const char* line, const char* key, const char*& value, size_t& length);

// Parses a value text by the key's syntax into settings; reject is called
// for an invalid or out-of-range value.
void apply_setting_value(const SettingKey& key, const char* value, Settings& settings,
                         ParseFailure reject);

// The detail text of the first MMX rule the settings break, or nullptr.
const char* settings_conflict(const Settings& settings);

// The filter doubles the picture on its own: it takes the floating-point
// routines and magnification 1.
void apply_filter_rule(Settings& settings);

// Fills Settings from korvane.ini; ends with error -12 on invalid content.
void read_settings();

// The steps of read_settings once the file is open: every setting the
// command line did not give, from the open file (-12 for an invalid value);
// then the MMX rules (-12) and the filter rule.
void read_settings_from(FILE* file);
void check_settings();

// Creates (or overwrites) the file with the default text; does nothing when
// the file cannot be created.
void write_default_settings(const char* path);

// Searches the file from its start for the key; true with the value text at
// the start of line, false when no line holds it.
bool find_setting(FILE* file, const char* key, char line[kSettingsLineSize]);
