// Normalisation of names looked up on the disc.
#include "format/disc/disc_name.hpp"

size_t disc_name_start(const char* name) {
  size_t start = 0;
  if (name[0] != '\0' && name[1] == ':') start = 2;
  if (is_disc_separator(name[start])) ++start;
  return start;
}

void upper_case_ascii(char* text) {
  for (; *text != '\0'; ++text)
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}
