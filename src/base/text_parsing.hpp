// Text parsing shared by the command line and korvane.ini: the signed number
// syntax, case-insensitive keywords, and ON/OFF values.
#pragma once

#include <cstdint>

// What a parser does with text it cannot accept: the command line shows its
// usage text, the korvane.ini reader reports the file as damaged. Neither
// returns; should an action return, the parser gives back a neutral result.
using ParseFailure = void (*)();

// The number syntax: characters are taken until the terminator, which ends
// the number (the cursor is left just past it). Spaces and tabs are skipped
// wherever they stand, a '-' anywhere makes the number negative (it does not
// toggle), digits accumulate with 32-bit wrap-around. A newline or any other
// character, the end of the text included when it is not the terminator,
// is a failure. No digit at all gives 0.
bool scan_signed_number(const char*& cursor, char terminator, int32_t& value);

// scan_signed_number, calling on_failure when the text is not a number.
int32_t parse_signed_number(const char*& cursor, char terminator, ParseFailure on_failure);

// True when the text starts with the upper-case keyword (letters a to z of
// the text compared as upper case) followed at once by the terminator; the
// cursor then moves past the terminator. Otherwise false, cursor unchanged.
bool match_keyword(const char*& cursor, char terminator, const char* keyword);

// 1 for "ON", 0 for "OFF" (any case, nothing after them), -1 for anything else.
int parse_on_off(const char* text);
