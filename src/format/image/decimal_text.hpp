// Unsigned decimal numbers written in the text of CUE sheets and CHD track
// metadata.
#pragma once

#include <cstdint>
#include <string_view>

// True when the text is 1 to 9 decimal digits whose value is at most limit.
bool parse_decimal(std::string_view text, int64_t limit, int64_t* value);
