// The read-size probe as a kernel: reads of 1, 2, ... sectors until one
// fails or the limit is reached.
#pragma once

#include <cstdint>
#include <functional>

// read(n) sends one read of n sectors and reports success; progress(n) runs
// before each read. Returns the last n that succeeded (0 when the first read
// failed or the limit is 0).
int32_t probe_largest_read(int32_t limit, const std::function<bool(int32_t)>& read,
                           const std::function<void(int32_t)>& progress);
