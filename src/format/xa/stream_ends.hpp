// The -detail path's table of the streams that start within one interleave
// block, and the correction of their ends.
#pragma once

#include <cstdint>
#include <functional>

constexpr int kDetailStreamEntries = 32;

struct DetailStream {
  uint8_t file = 0;
  uint8_t channel = 0;
  int32_t first = 0;  // first sector
  int32_t last = 0;   // one past the last sector found at the stream's interleave
  int32_t end = 0;    // the corrected end used for the conversion
};

// Returns the first sector from `from` on (below the range end) that is an
// audio sector of the given file and channel, or -1.
using ResumeSearch = std::function<int32_t(uint8_t file, uint8_t channel, int32_t from)>;

// Sets every entry's end. An entry ends at the sector where its own file and
// channel resume after its last sector (or at its last when they never do).
// When, at entry j, the streams resume together on consecutive sectors (entry
// j right after entry j - 1 and, for three or more streams, entry j - 2 two
// before), every entry k is taken to end at E - j + k and the search stops.
void correct_stream_ends(DetailStream* streams, int count, const ResumeSearch& find_resume);
