// Polling of a request's status byte with a time limit; one-sector reads
// with one retry and the bounded double-read comparison.
#include "io/aspi_requests.hpp"

#include <chrono>
#include <cstring>
#include <thread>

#include "format/aspi/aspi_block.hpp"

uint8_t wait_for_status(const volatile uint8_t* status, uint32_t limit_ms, MillisecondClock now) {
  const uint32_t start = now();
  for (;;) {
    const uint8_t value = *status;
    if (value != kAspiPending) return value;
    if (static_cast<uint32_t>(now() - start) >= limit_ms) return kAspiError;
    std::this_thread::yield();
  }
}

uint32_t monotonic_ms() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

uint8_t read_with_retry(const SectorCommand& command, uint8_t* dest) {
  const uint8_t status = command(dest);
  if (status == kAspiComplete) return status;
  return command(dest);
}

SectorReadResult read_sector_checked(const SectorCommand& command, uint8_t* dest, uint8_t* spare,
                                     size_t bytes, bool check) {
  for (int pair = 0; pair < kMaxReadPairs; ++pair) {
    uint8_t status = read_with_retry(command, dest);
    if (status != kAspiComplete || !check) return {status, true};
    status = read_with_retry(command, spare);
    if (status != kAspiComplete) return {status, true};
    if (std::memcmp(dest, spare, bytes) == 0) return {kAspiComplete, true};
  }
  return {kAspiComplete, false};
}
