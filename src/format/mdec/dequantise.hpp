// Dequantisation of one block: scan order in, row-major 16-bit values out.
#pragma once

#include <cstdint>

// in: 64 coefficients in scan order; out: 64 values at row-major positions.
// dc_times_four: versions other than 2 store their DC in quarters.
void dequantise_block(const int16_t* in, int16_t* out, bool dc_times_four, uint32_t scale);
