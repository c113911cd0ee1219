// Console output. Program text is UTF-8 in the source; what reaches standard
// output is its CP932 encoding, byte for byte, unless standard output is a
// terminal whose locale character set is UTF-8 (then it stays UTF-8 so a
// person can read it). User-supplied text (file names) passes unchanged.
// Everything goes through stdio's stdout, so fatal_error's exit flushes it.
#pragma once

#include <cstddef>
#include <cstdarg>

// Program text, converted to the console encoding.
void console_text(const char* utf8);

// printf-style: the format is program text (converted); the arguments are
// formatted as they are, so %s arguments are written unchanged.
void console_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void console_vprintf(const char* format, va_list args);

// Bytes written unchanged (names, texts read from files).
void console_raw(const char* bytes);

// Bytes written unchanged, `size` of them.
void console_bytes(const char* bytes, size_t size);

// While a diversion is set, the calling thread's console output (already in
// the console encoding) goes to it instead of standard output: an output
// stage writes it in turn with the work asked for before it. Other threads
// are not diverted. nullptr ends the diversion.
using ConsoleDiversion = void (*)(const char* bytes, size_t size);
void set_console_diversion(ConsoleDiversion diversion);

// True when console text is written as UTF-8 rather than CP932.
bool console_is_utf8();

// The default fatal handler of both programs: the message and a program-text detail in the console encoding, a
// name detail unchanged, then "\n"; every stream flushed; exit with the code.
[[noreturn]] void report_fatal_on_console(int code, const char* message, const char* detail,
                                          bool detail_is_text);
