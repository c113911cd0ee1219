#include "platform/text_file.hpp"

#include <string>

#include "platform/text_encoding.hpp"

namespace {

// The bytes with every "\n" made CR LF.
std::string with_crlf(const char* bytes, size_t size) {
  std::string out;
  out.reserve(size + size / 16 + 2);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == '\n') out.push_back('\r');
    out.push_back(bytes[i]);
  }
  return out;
}

}  // namespace

bool text_file_write_raw(FILE* file, const char* bytes, size_t size) {
  const std::string out = with_crlf(bytes, size);
  return std::fwrite(out.data(), 1, out.size(), file) == out.size();
}

bool text_file_write(FILE* file, const char* utf8) {
  const std::string encoded = utf8_to_cp932(utf8);
  return text_file_write_raw(file, encoded.data(), encoded.size());
}

std::string text_file_vformat(const char* format, va_list args) {
  const std::string encoded = utf8_to_cp932(format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, encoded.c_str(), copy);
  va_end(copy);
  if (size < 0) return {};
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), encoded.c_str(), args);
  return with_crlf(text.data(), static_cast<size_t>(size));
}
