// Polling of a request's status byte, with a time limit.
#include "io/aspi_wait.hpp"

#include <chrono>
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
