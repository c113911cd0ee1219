// Conversion of program text (UTF-8 in the source) to CP932, the encoding of
// the console and of the text files korvane writes.
#pragma once

#include <string>
#include <string_view>

// CP932 bytes of a UTF-8 text. Pure ASCII is returned as it is; a character
// with no CP932 form is written as "?".
std::string utf8_to_cp932(std::string_view utf8);
