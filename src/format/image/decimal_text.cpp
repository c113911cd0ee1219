// Reading unsigned decimal numbers from text.
#include "format/image/decimal_text.hpp"

namespace {
constexpr size_t kMostDigits = 9;  // keeps every value far inside 64 bits
}

bool parse_decimal(std::string_view text, int64_t limit, int64_t* value) {
  if (text.empty() || text.size() > kMostDigits) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > limit) return false;
  *value = v;
  return true;
}
