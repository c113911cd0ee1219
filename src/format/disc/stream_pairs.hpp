// The file and channel numbers that the sectors of an input carry, kept as
// a set of pairs, and their listing as the options that select them: what a
// user is told when the chosen file and channel hold nothing to convert.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kStreamPairCount = 256 * 256;  // every file number with every channel

struct StreamPairs {
  std::bitset<kStreamPairCount> seen;
};

void note_stream_pair(StreamPairs& pairs, uint8_t file, uint8_t channel);

bool any_stream_pair(const StreamPairs& pairs);

// One line "  -file:F -channel:C\n" a pair, by file then channel, at most
// limit of them; when more remain, a last line "  ...\n".
std::string stream_pair_lines(const StreamPairs& pairs, size_t limit);
