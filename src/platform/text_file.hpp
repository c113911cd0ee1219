// Text files korvane writes (KORVANE.INI, FILE.INF, the scan report): CP932
// text with CR LF line endings on every platform, so the files are the same
// bytes as those of the Windows program.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// Program text (UTF-8), converted to CP932, each "\n" written as CR LF.
// Returns false when the stream refused a byte.
bool text_file_write(FILE* file, const char* utf8);

// printf-style: the bytes for the format (program text, converted) and the
// arguments (written as they are), every "\n" made CR LF; empty when the
// format is bad.
std::string text_file_vformat(const char* format, va_list args);

// Bytes as they are (names, a volume label), each "\n" written as CR LF.
bool text_file_write_raw(FILE* file, const char* bytes, size_t size);
