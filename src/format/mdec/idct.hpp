// The 8x8 inverse DCT of the conversion path: two passes of one 8-term
// transform in double precision, the second pass taking its inputs 1, 2, 3,
// 5, 6 and 7 truncated to 16-bit integers. Every variant gives the same
// doubles as the reference (a zero's sign aside, which no pixel can show).
#pragma once

#include <cstdint>

// in: 64 dequantised values, row-major; out: 64 samples, row-major.
using IdctBlockFn = void (*)(const int16_t* in, double* out);

void idct_block_reference(const int16_t* in, double* out);
void idct_block_sse2(const int16_t* in, double* out);
void idct_block_avx(const int16_t* in, double* out);  // only where the processor has AVX

// Weight of input k for output x, cos((2x+1)k pi/16)/sqrt(2) as realised by
// the single-precision constants; w[k][x].
extern const double kIdctWeights[8][8];
