// The command line of korvane: two option tables (run modes and their
// modifiers; settings that override korvane.ini), the names taken from the
// last two arguments, and the checks that refuse a malformed or
// contradictory command line with the usage text.
#pragma once

#include <cstdint>
#include <span>

#include "base/text_parsing.hpp"

// What follows an option's text.
enum class ArgumentKind {
  None,             // nothing may follow
  Decimal,          // digits, required
  OptionalDecimal,  // digits, or nothing (leaves the value as it is)
  Text,             // any text, also empty
  SignedNumber,     // the signed number syntax, range-checked
  AdapterTarget,    // signed number "/" signed number
  OnOff,            // ON or OFF
  OptionOrAuto,     // OPTION (0) or AUTO (1)
};

// One option: its lower-case text (matched as a prefix of the option) and
// where its argument goes. The option's position in its table is its bit.
struct OptionEntry {
  const char* text;
  ArgumentKind kind;
  uint32_t* unsigned_target = nullptr;  // Decimal
  int32_t* signed_target = nullptr;     // OptionalDecimal, SignedNumber, OnOff, OptionOrAuto, adapter
  int32_t* second_target = nullptr;     // AdapterTarget: the target id
  char* text_target = nullptr;          // Text: a 512-byte name buffer
  int32_t min = INT32_MIN;              // SignedNumber: accepted range
  int32_t max = INT32_MAX;
};

// The mode option table (bits of ModeFlags) and the setting option table
// (bits of OverrideFlags), in table order.
std::span<const OptionEntry> mode_options();
std::span<const OptionEntry> setting_options();

// The index of the first entry whose text is a prefix of the option text
// (the option's letters A to Z taken as lower case), with rest pointing past
// the matched part; -1 when no entry matches.
int match_option(std::span<const OptionEntry> table, const char* option, const char*& rest);

// True when the argument is an option: it starts with "-", or with "/" where
// the word after it is not a path (an absolute name where "/" separates
// directories).
bool is_option_argument(const char* argument);

// Fills ModeFlags, OverrideFlags, the name buffers, the conversion numbers
// and the command-line settings, checks them, then reads korvane.ini.
// Returns only for a valid command line; anything else ends in print_usage.
void parse_command_line(int argc, char** argv);

// Prints the usage text, reads korvane.ini, and ends with error -2.
[[noreturn]] void print_usage();

// The value of a text of digits 0 to 9 only (wrapping at 32 bits); an empty
// text or any other character calls reject.
uint32_t parse_decimal(const char* text, ParseFailure reject = print_usage);

// The steps of parse_command_line, each calling reject for what it refuses.
// take_arguments: every argument after the program name, options applied and
// names placed. apply_option: one option, without its leading "-" or "/".
// settle_modes: the -viewer: rate bit, name completion, the mode and
// combination checks.
void take_arguments(int argc, char** argv, ParseFailure reject);
void apply_option(const char* option, ParseFailure reject);
void settle_modes(ParseFailure reject);
