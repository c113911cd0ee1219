// Matching the help and version option words.
#include "base/info_words.hpp"

#include <cstddef>

#include "base/text_parsing.hpp"

namespace {

// Upper case, as match_keyword compares.
constexpr const char* kHelpWords[] = {"HELP", "-HELP", "H", "?"};
constexpr const char* kVersionWords[] = {"VERSION", "-VERSION"};

template <size_t N>
bool is_one_of(const char* option, const char* const (&words)[N]) {
  for (const char* word : words) {
    const char* cursor = option;
    if (match_keyword(cursor, '\0', word)) return true;
  }
  return false;
}

}  // namespace

InfoRequest info_request_of(const char* option) {
  if (is_one_of(option, kHelpWords)) return InfoRequest::Help;
  if (is_one_of(option, kVersionWords)) return InfoRequest::Version;
  return InfoRequest::None;
}
