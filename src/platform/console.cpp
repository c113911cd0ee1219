// Console output: everything goes out through stdio's stdout, program text
// in CP932, or unchanged UTF-8 when standard output is a terminal that shows
// UTF-8.
#include "platform/console.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/exit_finishers.hpp"
#include "platform/console_terminal.hpp"
#include "platform/text_encoding.hpp"

namespace {

void write_bytes(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

std::string encode(const char* utf8) {
  if (console_is_utf8()) return utf8;
  return utf8_to_cp932(utf8);
}

}  // namespace

bool console_is_utf8() {
  static const bool utf8 = stdout_is_utf8_terminal();
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

void report_fatal_on_console(int code, const char* message, const char* detail,
                             bool detail_is_text) {
  console_text(message);
  if (detail != nullptr) {
    if (detail_is_text)
      console_text(detail);
    else
      console_raw(detail);
  }
  console_text("\n");
  // The output being written gets its headers, so that what was written so
  // far stays usable.
  run_exit_finishers();
  std::fflush(nullptr);
  std::exit(code);
}
