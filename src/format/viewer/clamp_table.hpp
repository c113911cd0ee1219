// The colour limiting table of the floating-point converter: looked up at
// v + 128 for v from -128 to 383, giving 0 below 0 and 255 above 255.
#pragma once

#include <cstdint>

constexpr int kClampTableSize = 512;
constexpr int kClampTableOffset = 128;

extern uint8_t clamp_table[kClampTableSize];

void fill_clamp_table();
