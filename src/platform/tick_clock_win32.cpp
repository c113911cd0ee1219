// The millisecond tick count from GetTickCount.
#include "platform/tick_clock.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

uint32_t system_tick_count() { return static_cast<uint32_t>(GetTickCount()); }
