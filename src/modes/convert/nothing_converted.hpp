// The end of a single conversion (-avi, -bmp, -audio) that found nothing of
// the chosen file and channel to convert: error -9 with a message that
// names the files and channels the input does hold.
#pragma once

#include <cstdint>

enum class WantedStream { Movie, Audio };

// Surveys the sectors first to end (the input's range) and ends the process.
[[noreturn]] void report_nothing_converted(WantedStream wanted, int32_t first, int32_t end);
