// Waiting for an ASPI request: its status byte stays 0 while the request is
// pending. The wait is bounded so that a request that never completes ends
// as a failed command instead of hanging the program.
#pragma once

#include <cstdint>

// Long enough for a drive to spin a disc up and retry a difficult sector.
constexpr uint32_t kAspiWaitLimitMs = 30000;

using MillisecondClock = uint32_t (*)();

// Reads *status until it is non-zero and returns it; returns kAspiError when
// limit_ms pass first (measured with now, wrap-around safe).
uint8_t wait_for_status(const volatile uint8_t* status, uint32_t limit_ms, MillisecondClock now);

// A monotonic millisecond count.
uint32_t monotonic_ms();
