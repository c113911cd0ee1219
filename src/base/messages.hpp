// The language korvane and velmora speak, and the text of a message in it.
// Japanese is the default; start-up may choose English (KORVANE_LANG=en, or
// "Language = EN" in KORVANE.INI).
#pragma once

#include <cstdint>

#include "base/message_id.hpp"

enum class Language : uint8_t { Japanese, English };

// The environment variable that chooses the language ("en" or "ja").
constexpr const char* kLanguageVariable = "KORVANE_LANG";

// The language messages are printed in; Japanese until start-up chooses.
Language message_language();
void set_message_language(Language language);

// The text of a message in the chosen language (UTF-8 program text; some are
// printf formats).
const char* message_text(Msg id);

// The text of a message in the given language.
const char* message_text_in(Language language, Msg id);

// Kernel: the language a KORVANE_LANG value or a Language key names: "JA" or
// "EN" in any letter case, nothing before or after. False for any other text.
bool parse_language(const char* text, Language* language);
