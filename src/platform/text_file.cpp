#include "platform/text_file.hpp"

#include <string>

#include "platform/text_encoding.hpp"

bool text_file_write_raw(FILE* file, const char* bytes, size_t size) {
  std::string out;
  out.reserve(size + size / 16 + 2);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == '\n') out.push_back('\r');
    out.push_back(bytes[i]);
  }
  return std::fwrite(out.data(), 1, out.size(), file) == out.size();
}

bool text_file_write(FILE* file, const char* utf8) {
  const std::string encoded = utf8_to_cp932(utf8);
  return text_file_write_raw(file, encoded.data(), encoded.size());
}

bool text_file_printf(FILE* file, const char* format, ...) {
  const std::string encoded = utf8_to_cp932(format);
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, encoded.c_str(), copy);
  va_end(copy);
  if (size < 0) {
    va_end(args);
    return false;
  }
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), encoded.c_str(), args);
  va_end(args);
  return text_file_write_raw(file, text.data(), static_cast<size_t>(size));
}
