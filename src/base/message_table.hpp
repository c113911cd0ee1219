// The table of message texts of one language and the check that a table
// names every message once, in the order of Msg.
#pragma once

#include <cstddef>
#include <span>

#include "base/message_id.hpp"

struct MessageEntry {
  Msg id;
  const char* text;
};

struct MessageTable {
  std::span<const MessageEntry> entries;
};

// True when entry n of the table is message n, for every message.
template <size_t N>
constexpr bool table_is_complete(const MessageEntry (&entries)[N]) {
  if (N != static_cast<size_t>(Msg::Count)) return false;
  for (size_t n = 0; n < N; ++n)
    if (static_cast<size_t>(entries[n].id) != n || entries[n].text == nullptr) return false;
  return true;
}

extern const MessageTable kJapaneseMessages;
extern const MessageTable kEnglishMessages;
