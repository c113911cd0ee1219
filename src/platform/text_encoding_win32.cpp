// UTF-8 to CP932 through the system's code page tables.
#include "platform/text_encoding.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

constexpr UINT kCodePageShiftJis = 932;

bool is_ascii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string utf8_to_cp932(std::string_view utf8) {
  if (is_ascii(utf8)) return std::string(utf8);
  const int in_size = static_cast<int>(utf8.size());
  const int wide_size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in_size, nullptr, 0);
  if (wide_size <= 0) return std::string(utf8);
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in_size, wide.data(), wide_size);

  // No best-fit guesses: a character without a CP932 form becomes "?".
  const char kDefault[] = "?";
  const int out_size = WideCharToMultiByte(kCodePageShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(),
                                           wide_size, nullptr, 0, kDefault, nullptr);
  if (out_size <= 0) return std::string(utf8);
  std::string out(static_cast<size_t>(out_size), '\0');
  WideCharToMultiByte(kCodePageShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, out.data(),
                      out_size, kDefault, nullptr);
  return out;
}
