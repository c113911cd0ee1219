// The millisecond tick count from the monotonic clock.
#include "platform/tick_clock.hpp"

#include <time.h>

uint32_t system_tick_count() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                      static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}
