// Parsing korvane's command line into ModeFlags, OverrideFlags, the name
// buffers, the conversion numbers and the settings the command line gives.
#include "app/command_line.hpp"

#include <algorithm>
#include <cstring>

#include "app/settings_file.hpp"
#include "base/messages.hpp"
#include "io/aspi.hpp"
#include "io/settings_path.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "state/conversion_numbers.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/settings.hpp"

namespace {

using Kind = ArgumentKind;

// Position n sets bit n of ModeFlags. "viewer:" must stand before "viewer".
const OptionEntry kModeOptions[] = {
    {.text = "file:", .kind = Kind::Decimal, .unsigned_target = &movie.file_number},
    {.text = "channel:", .kind = Kind::Decimal, .unsigned_target = &movie.channel_number},
    {.text = "search:", .kind = Kind::Decimal, .unsigned_target = &movie.search_window},
    {.text = "width", .kind = Kind::None},
    {.text = "info", .kind = Kind::None},
    {.text = "bmp", .kind = Kind::None},
    {.text = "avi", .kind = Kind::None},
    {.text = "audio", .kind = Kind::None},
    {.text = "viewer:", .kind = Kind::OptionalDecimal, .signed_target = &viewer_frame_rate},
    {.text = "viewer", .kind = Kind::None},
    {.text = "check", .kind = Kind::None},
    {.text = "all", .kind = Kind::None},
    {.text = "analyze", .kind = Kind::None},
    {.text = "use-inf", .kind = Kind::None},
    {.text = "detail", .kind = Kind::None},
    {.text = "skip-movie", .kind = Kind::None},
    {.text = "disc-all", .kind = Kind::None},
    {.text = "disc-analyze", .kind = Kind::None},
    {.text = "no-cdrom", .kind = Kind::None},
    {.text = "file-save", .kind = Kind::None},
    {.text = "disc-save", .kind = Kind::None},
    {.text = "image:", .kind = Kind::Text, .text_target = image_name},
    {.text = "with-sound", .kind = Kind::None},
};

// Position n sets bit n of OverrideFlags; korvane.ini then leaves that
// setting alone. The command line allows a louder SoundVolume than the file.
const OptionEntry kSettingOptions[] = {
    {.text = "cddrive:", .kind = Kind::AdapterTarget, .signed_target = &settings.CDDriveAdapter,
     .second_target = &settings.CDDriveTarget},
    {.text = "fcsearch:", .kind = Kind::OptionOrAuto, .signed_target = &settings.FCSearch},
    {.text = "preloadframe:", .kind = Kind::SignedNumber, .signed_target = &settings.PreLoadFrame,
     .min = 8, .max = 32},
    {.text = "mmx:", .kind = Kind::OnOff, .signed_target = &settings.MMX},
    {.text = "cdreadsector:", .kind = Kind::SignedNumber, .signed_target = &settings.CdReadSector,
     .min = 0, .max = 16},
    {.text = "sound:", .kind = Kind::OnOff, .signed_target = &settings.Sound},
    {.text = "fixed:", .kind = Kind::OnOff, .signed_target = &settings.Fixed},
    {.text = "modex:", .kind = Kind::OnOff, .signed_target = &settings.ModeX},
    {.text = "displaymode:", .kind = Kind::SignedNumber, .signed_target = &settings.DisplayMode,
     .min = 0, .max = 2},
    {.text = "filter:", .kind = Kind::OnOff, .signed_target = &settings.Filter},
    {.text = "startwait:", .kind = Kind::SignedNumber, .signed_target = &settings.StartWait},
    {.text = "playwait:", .kind = Kind::OnOff, .signed_target = &settings.PlayWait},
    {.text = "path:", .kind = Kind::Text, .text_target = settings_path},
    {.text = "soundvolume:", .kind = Kind::SignedNumber, .signed_target = &settings.SoundVolume,
     .min = 0, .max = 400},
};

// The ten options that choose what the run does; exactly one is admitted.
constexpr uint32_t kModeBits = kModeBmp | kModeAvi | kModeAudio | kModeViewer | kModeAll |
                               kModeAnalyze | kModeDiscAll | kModeDiscAnalyze | kModeFileSave |
                               kModeDiscSave;

// Modes for which a single name serves as the input name as well.
constexpr uint32_t kSingleNameModes =
    kModeViewer | kModeAnalyze | kModeDiscAll | kModeDiscAnalyze | kModeDiscSave;

// What each mode requires once it is known to stand alone, and what it adds.
struct ModeRule {
  uint32_t mode;
  bool needs_output_name;
  uint32_t adds;                // further ModeFlags bits
  bool output_name_from_input;  // the output goes where the input name says
};
constexpr ModeRule kModeRules[] = {
    {kModeAvi, true, 0, false},
    {kModeBmp, true, 0, false},
    {kModeAudio, true, 0, false},
    {kModeFileSave, false, 0, false},
    {kModeDiscSave, false, kModeDiscAll, true},
    {kModeAll, true, 0, false},
    {kModeDiscAll, false, kModeAll, true},
    {kModeAnalyze, false, 0, false},
    {kModeDiscAnalyze, true, kModeDiscAll | kModeAnalyze, false},
    {kModeViewer, false, 0, false},
};

// Longest text a name buffer holds.
constexpr size_t kMaxNameLength = kNameBufferSize - 1;

void copy_name(char* to, const char* from) {
  const size_t length = strnlen(from, kMaxNameLength);
  std::memmove(to, from, length);
  to[length] = '\0';
}

// The usable CD drives under the usage text: without an ASPI layer or a
// drive, aspi_open ends the run with -7 before anything is listed.
void print_drive_list() {
  aspi_open();
  print_cd_drives();
}

// Whether an argument that starts with "/" is an option. Where "/" also
// separates directories, "/tmp/movie.str" is an absolute name: the slash
// introduces an option only when the option word (up to any ":") holds no
// further "/" and matches an entry of either table.
bool slash_starts_option(const char* text) {
  if (kDirectorySeparator != '/') return true;
  const char* word_end = std::strchr(text, ':');
  if (word_end == nullptr) word_end = text + std::strlen(text);
  if (std::find(text, word_end, '/') != word_end) return false;
  const char* rest = nullptr;
  return match_option(kModeOptions, text, rest) >= 0 ||
         match_option(kSettingOptions, text, rest) >= 0;
}

// Runs the argument handler of a matched entry on the rest of the option.
void take_argument(const OptionEntry& entry, const char* rest, ParseFailure reject) {
  switch (entry.kind) {
    case Kind::None:
      if (*rest != '\0') reject();
      return;
    case Kind::Decimal:
      *entry.unsigned_target = parse_decimal(rest, reject);
      return;
    case Kind::OptionalDecimal:
      if (*rest != '\0') *entry.signed_target = static_cast<int32_t>(parse_decimal(rest, reject));
      return;
    case Kind::Text:
      copy_name(entry.text_target, rest);
      return;
    case Kind::SignedNumber: {
      int32_t value = 0;
      if (!scan_signed_number(rest, '\0', value) || value < entry.min || value > entry.max) {
        reject();
        return;
      }
      *entry.signed_target = value;
      return;
    }
    case Kind::AdapterTarget: {
      const int32_t adapter = parse_signed_number(rest, '/', reject);
      const int32_t target = parse_signed_number(rest, '\0', reject);
      *entry.signed_target = adapter;
      *entry.second_target = target;
      return;
    }
    case Kind::OnOff: {
      const int value = parse_on_off(rest);
      if (value < 0) {
        reject();
        return;
      }
      *entry.signed_target = value;
      return;
    }
    case Kind::OptionOrAuto:
      if (match_keyword(rest, '\0', "OPTION")) {
        *entry.signed_target = 0;
      } else if (match_keyword(rest, '\0', "AUTO")) {
        *entry.signed_target = 1;
      } else {
        reject();
      }
      return;
  }
}

}  // namespace

std::span<const OptionEntry> mode_options() { return kModeOptions; }
std::span<const OptionEntry> setting_options() { return kSettingOptions; }

int match_option(std::span<const OptionEntry> table, const char* option, const char*& rest) {
  for (size_t index = 0; index < table.size(); ++index) {
    const char* entry = table[index].text;
    const char* p = option;
    for (; *entry != '\0'; ++entry, ++p) {
      char c = *p;
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != *entry) break;  // also the end of the option text
    }
    if (*entry == '\0') {
      rest = p;
      return static_cast<int>(index);
    }
  }
  return -1;
}

uint32_t parse_decimal(const char* text, ParseFailure reject) {
  if (*text == '\0') {
    reject();
    return 0;
  }
  uint32_t value = 0;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9') {
      reject();
      return 0;
    }
    value = value * 10 + static_cast<uint32_t>(*text - '0');
  }
  return value;
}

bool is_option_argument(const char* argument) {
  return argument[0] == '-' || (argument[0] == '/' && slash_starts_option(argument + 1));
}

void apply_option(const char* option, ParseFailure reject) {
  const char* rest = nullptr;
  int index = match_option(kModeOptions, option, rest);
  if (index >= 0) {
    mode_flags |= 1u << index;
    take_argument(kModeOptions[index], rest, reject);
    return;
  }
  index = match_option(kSettingOptions, option, rest);
  if (index >= 0) {
    override_flags |= 1u << index;
    take_argument(kSettingOptions[index], rest, reject);
    return;
  }
  reject();
}

void take_arguments(int argc, char** argv, ParseFailure reject) {
  mode_flags = 0;
  override_flags = 0;
  input_name[0] = '\0';
  output_name[0] = '\0';
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    // Nothing longer than a name buffer holds is accepted, option or name.
    if (std::strlen(argument) > kMaxNameLength) {
      reject();
      return;
    }
    const int following = argc - 1 - i;
    if (is_option_argument(argument)) {
      apply_option(argument + 1, reject);
    } else if (following == 1) {
      copy_name(input_name, argument);
    } else if (following == 0) {
      copy_name(output_name, argument);
    }
    // Names before the last two arguments are ignored.
  }
}

void settle_modes(ParseFailure reject) {
  if (mode_is(kModeViewerRate)) {
    mode_flags &= ~kModeViewerRate;
    mode_flags |= kModeViewer;
  }

  if ((mode_flags & kSingleNameModes) != 0 && input_name[0] == '\0')
    copy_name(input_name, output_name);
  if (input_name[0] == '\0') {
    reject();
    return;
  }

  // The rules look at the modes as given, not at the bits they add.
  const uint32_t modes = mode_flags & kModeBits;
  if (modes == 0) {
    mode_flags |= kModeAvi;
    if (output_name[0] == '\0') {
      reject();
      return;
    }
  }
  for (const ModeRule& rule : kModeRules) {
    if ((modes & rule.mode) == 0) continue;
    if (modes != rule.mode || (rule.needs_output_name && output_name[0] == '\0')) {
      reject();
      return;
    }
    mode_flags |= rule.adds;
    if (rule.output_name_from_input) copy_name(output_name, input_name);
  }

  if (mode_is(kModeNoCdrom) && (mode_is(kModeUseInf) || mode_is(kModeImage))) reject();
}

void parse_command_line(int argc, char** argv) {
  take_arguments(argc, argv, print_usage);
  settle_modes(print_usage);
  read_settings();
}

void print_usage() {
  console_text(message_text(Msg::Usage));
  print_drive_list();
  read_settings();
  fatal_error(kErrCommandLine, "");
}
