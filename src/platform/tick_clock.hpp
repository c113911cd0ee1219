// The system's millisecond tick count: a monotonic clock as an unsigned
// 32-bit number that wraps around.
#pragma once

#include <cstdint>

#include "platform/viewer_devices.hpp"

uint32_t system_tick_count();

class SystemTickSource : public TickSource {
 public:
  uint32_t tick_count() override { return system_tick_count(); }
};
