// How korvane waits for an ASPI request and reads one sector the way the
// conversions read from the CD.
//
// A request's status byte stays 0 while it is pending; the wait is bounded so
// that a request that never completes ends as a failed command instead of
// hanging the program. A failed read command is sent once more, and with the
// double-read check the sector is read a second time and delivered only when
// both copies agree, trying at most kMaxReadPairs pairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Long enough for a drive to spin a disc up and retry a difficult sector.
constexpr uint32_t kAspiWaitLimitMs = 30000;

using MillisecondClock = uint32_t (*)();

// Reads *status until it is non-zero and returns it; returns kAspiError when
// limit_ms pass first (measured with now, wrap-around safe).
uint8_t wait_for_status(const volatile uint8_t* status, uint32_t limit_ms, MillisecondClock now);

// A monotonic millisecond count.
uint32_t monotonic_ms();

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
