// Signed numbers, keywords and ON/OFF values in option and korvane.ini text.
#include "base/text_parsing.hpp"

bool scan_signed_number(const char*& cursor, char terminator, int32_t& value) {
  const char* p = cursor;
  bool negative = false;
  uint32_t magnitude = 0;  // unsigned so that long numbers wrap instead of overflowing
  for (;;) {
    const char c = *p++;
    if (c == terminator) break;
    if (c == ' ' || c == '\t') continue;
    if (c == '-') {
      negative = true;
    } else if (c >= '0' && c <= '9') {
      magnitude = magnitude * 10 + static_cast<uint32_t>(c - '0');
    } else {
      return false;  // a newline, the end of the text, or any other character
    }
  }
  cursor = p;
  value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
  return true;
}

int32_t parse_signed_number(const char*& cursor, char terminator, ParseFailure on_failure) {
  int32_t value = 0;
  if (!scan_signed_number(cursor, terminator, value)) {
    on_failure();
    return 0;
  }
  return value;
}

bool match_keyword(const char*& cursor, char terminator, const char* keyword) {
  const char* p = cursor;
  for (; *keyword != '\0'; ++keyword, ++p) {
    char c = *p;
    if (c == '\n') return false;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != *keyword) return false;
  }
  if (*p != terminator) return false;
  cursor = p + 1;
  return true;
}

int parse_on_off(const char* text) {
  const char* cursor = text;
  if (match_keyword(cursor, '\0', "ON")) return 1;
  if (match_keyword(cursor, '\0', "OFF")) return 0;
  return -1;
}
