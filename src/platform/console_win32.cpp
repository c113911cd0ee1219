// Console output on Windows. Text goes out through stdio's stdout in CP932;
// when standard output is a console whose output code page is UTF-8, program
// text stays UTF-8 so the console shows it as it is.
#include "platform/console.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/text_encoding.hpp"

namespace {

bool detect_utf8_console() {
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return false;
  return GetConsoleOutputCP() == CP_UTF8;
}

void write_bytes(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

std::string encode(const char* utf8) {
  if (console_is_utf8()) return utf8;
  return utf8_to_cp932(utf8);
}

}  // namespace

bool console_is_utf8() {
  static const bool utf8 = detect_utf8_console();
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
