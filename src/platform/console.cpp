#include "platform/console.hpp"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/text_encoding.hpp"

namespace {

bool detect_utf8_terminal() {
  if (!isatty(STDOUT_FILENO)) return false;
  // Look at the user's locale without changing the program's own.
  const char* saved = std::setlocale(LC_CTYPE, nullptr);
  std::string restore = saved != nullptr ? saved : "C";
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  const bool utf8 = codeset != nullptr &&
                    (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
  std::setlocale(LC_CTYPE, restore.c_str());
  return utf8;
}

void write_bytes(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

std::string encode(const char* utf8) {
  if (console_is_utf8()) return utf8;
  return utf8_to_cp932(utf8);
}

}  // namespace

bool console_is_utf8() {
  static const bool utf8 = detect_utf8_terminal();
  return utf8;
}

void console_text(const char* utf8) { write_bytes(encode(utf8)); }

void console_raw(const char* bytes) { std::fputs(bytes, stdout); }

void console_vprintf(const char* format, va_list args) {
  const std::string encoded = encode(format);
  std::vfprintf(stdout, encoded.c_str(), args);
}

void console_printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  console_vprintf(format, args);
  va_end(args);
}
