// Entry name construction for the catalogue.
#include "format/catalogue/entry_name.hpp"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kLeadingBlanks[] = "  ";
constexpr size_t kLeadingBlankCount = sizeof(kLeadingBlanks) - 1;
constexpr size_t kMaxBaseLength = kEntryLineLimit - kLeadingBlankCount - kIndexSuffixRoom;

bool is_base_separator(char c) { return c == '/' || c == '\\' || c == ':'; }

const char* base_name_of(const char* name) {
  const size_t length = std::strlen(name);
  for (size_t i = length; i-- > 1;)
    if (is_base_separator(name[i])) return name + i + 1;
  return name;
}

}  // namespace

size_t build_entry_base(const char* input_name, char (&out)[kEntryNameSize]) {
  std::memcpy(out, kLeadingBlanks, kLeadingBlankCount);
  size_t at = kLeadingBlankCount;
  const char* base = base_name_of(input_name);
  for (size_t i = 0; base[i] != '\0' && i < kMaxBaseLength; ++i)
    out[at++] = base[i] == '.' ? '_' : base[i];
  out[at] = '\0';
  return at;
}

void set_entry_index(char (&entry)[kEntryNameSize], size_t base_end, int32_t index) {
  std::snprintf(entry + base_end, kEntryNameSize - base_end, "_%d", static_cast<int>(index));
}
