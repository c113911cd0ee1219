// Names of files on the disc as the user writes them: an optional drive
// letter and one leading separator are not part of the name, letters are
// compared in upper case, and "\" and "/" both separate components.
#pragma once

#include <cstddef>

inline bool is_disc_separator(char c) { return c == '\\' || c == '/'; }

// Index at which the name proper starts: past "X:" when the second character
// is a colon, then past one leading separator.
size_t disc_name_start(const char* name);

// Upper-cases the letters a to z in place; every other byte stays.
void upper_case_ascii(char* text);
