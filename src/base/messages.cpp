// The chosen message language and the lookup of message texts in its table.
#include "base/messages.hpp"

#include "base/message_table.hpp"
#include "base/text_parsing.hpp"

namespace {

// One table per Language, in the order of its values.
const MessageTable* const kTables[] = {&kJapaneseMessages, &kEnglishMessages};

Language chosen_language = Language::Japanese;

}  // namespace

Language message_language() { return chosen_language; }

void set_message_language(Language language) { chosen_language = language; }

const char* message_text_in(Language language, Msg id) {
  return kTables[static_cast<size_t>(language)]->entries[static_cast<size_t>(id)].text;
}

const char* message_text(Msg id) { return message_text_in(chosen_language, id); }

bool parse_language(const char* text, Language* language) {
  const char* cursor = text;
  if (match_keyword(cursor, '\0', "JA")) {
    *language = Language::Japanese;
    return true;
  }
  if (match_keyword(cursor, '\0', "EN")) {
    *language = Language::English;
    return true;
  }
  return false;
}
