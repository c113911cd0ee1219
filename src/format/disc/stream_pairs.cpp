// The set of file and channel pairs and its listing.
#include "format/disc/stream_pairs.hpp"

#include <cstdio>

namespace {
constexpr size_t kChannelsPerFile = 256;
constexpr size_t kLineBytes = 40;
}  // namespace

void note_stream_pair(StreamPairs& pairs, uint8_t file, uint8_t channel) {
  pairs.seen.set(file * kChannelsPerFile + channel);
}

bool any_stream_pair(const StreamPairs& pairs) { return pairs.seen.any(); }

std::string stream_pair_lines(const StreamPairs& pairs, size_t limit) {
  std::string lines;
  size_t listed = 0;
  for (size_t pair = 0; pair < kStreamPairCount; ++pair) {
    if (!pairs.seen.test(pair)) continue;
    if (listed == limit) {
      lines += "  ...\n";
      break;
    }
    char line[kLineBytes];
    std::snprintf(line, sizeof line, "  -file:%zu -channel:%zu\n", pair / kChannelsPerFile,
                  pair % kChannelsPerFile);
    lines += line;
    ++listed;
  }
  return lines;
}
