// Entry names of FILE.INF: two blanks, the base name of the input with every
// "." turned into "_", then "_" and the movie's index within the run.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kEntryNameSize = 512;

// A catalogue line is read back in pieces of at most 511 characters, so an
// entry line with its CR LF must stay within 511 bytes to come back whole.
constexpr size_t kEntryLineLimit = 509;

// Room kept for the index suffix: "_" and the ten digits of a 32-bit count.
constexpr size_t kIndexSuffixRoom = 11;

// Kernel. The base name is the text after the last "/", "\" or ":" of the
// name, searched from the last character back to the second (a separator in
// the first position does not count). Writes two blanks and the base name,
// dots turned into underscores, into out; a base name too long to leave room
// for the suffix within kEntryLineLimit loses its last characters. Returns
// the length written: the position where index suffixes go.
size_t build_entry_base(const char* input_name, char (&out)[kEntryNameSize]);

// Kernel. Writes "_" and the index in decimal at base_end, replacing any
// earlier suffix.
void set_entry_index(char (&entry)[kEntryNameSize], size_t base_end, int32_t index);
