#include "platform/text_encoding.hpp"

#include <iconv.h>

#include <cerrno>

namespace {

bool is_ascii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string utf8_to_cp932(std::string_view utf8) {
  if (is_ascii(utf8)) return std::string(utf8);
  static iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);

  std::string out;
  out.resize(utf8.size() * 2 + 8);
  char* in_ptr = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  char* out_ptr = out.data();
  size_t out_left = out.size();
  while (in_left > 0) {
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      const size_t used = out.size() - out_left;
      out.resize(out.size() * 2);
      out_ptr = out.data() + used;
      out_left = out.size() - used;
    } else {
      // An invalid or unmappable sequence: write "?" and skip one byte.
      if (out_left == 0) {
        const size_t used = out.size();
        out.resize(out.size() * 2);
        out_ptr = out.data() + used;
        out_left = out.size() - used;
      }
      *out_ptr++ = '?';
      --out_left;
      ++in_ptr;
      --in_left;
    }
  }
  out.resize(out.size() - out_left);
  return out;
}
