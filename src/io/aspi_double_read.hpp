// One sector read the way conversions read from the CD: a failed command is
// sent once more, and with the double-read check the sector is read a second
// time and delivered only when both copies agree, trying at most
// kMaxReadPairs pairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Pairs of reads tried before a sector is given up as unreadable.
constexpr int kMaxReadPairs = 8;

// Sends one READ CD of the sector into dest and returns its status.
using SectorCommand = std::function<uint8_t(uint8_t* dest)>;

struct SectorReadResult {
  uint8_t status;   // kAspiComplete, or the status of the second failed try
  bool agreed;      // false: kMaxReadPairs pairs all differed
};

// The command, and once more if it fails.
uint8_t read_with_retry(const SectorCommand& command, uint8_t* dest);

// Reads the sector into dest; with check, also into spare (bytes long) and
// compares. A failed command ends the attempt with its status.
SectorReadResult read_sector_checked(const SectorCommand& command, uint8_t* dest, uint8_t* spare,
                                     size_t bytes, bool check);
