// Console output: everything goes out through stdio's stdout, program text
// in CP932, or unchanged UTF-8 when standard output is a terminal that shows
// UTF-8.
#include "platform/console.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/exit_finishers.hpp"
#include "platform/console_terminal.hpp"
#include "platform/text_encoding.hpp"

namespace {

thread_local ConsoleDiversion diversion = nullptr;

// Formatted diverted text up to this size needs no allocation.
constexpr size_t kDivertedLineBytes = 256;

void write_bytes(const char* bytes, size_t size) {
  if (diversion != nullptr)
    diversion(bytes, size);
  else
    std::fwrite(bytes, 1, size, stdout);
}

void write_bytes(const std::string& s) { write_bytes(s.data(), s.size()); }

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

void console_raw(const char* bytes) { write_bytes(bytes, std::strlen(bytes)); }

void console_bytes(const char* bytes, size_t size) { write_bytes(bytes, size); }

void set_console_diversion(ConsoleDiversion new_diversion) { diversion = new_diversion; }

void console_vprintf(const char* format, va_list args) {
  const std::string encoded = encode(format);
  if (diversion == nullptr) {
    std::vfprintf(stdout, encoded.c_str(), args);
    return;
  }
  char text[kDivertedLineBytes];
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(text, sizeof text, encoded.c_str(), copy);
  va_end(copy);
  if (size < 0) return;
  if (static_cast<size_t>(size) < sizeof text) {
    write_bytes(text, static_cast<size_t>(size));
    return;
  }
  std::string long_text(static_cast<size_t>(size) + 1, '\0');
  std::vsnprintf(long_text.data(), long_text.size(), encoded.c_str(), args);
  write_bytes(long_text.data(), static_cast<size_t>(size));
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
