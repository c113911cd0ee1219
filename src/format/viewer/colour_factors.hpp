// Colour factors of the viewer's converters: single-precision constants for
// the floating-point converters, units of 1/256 for the integer ones.
#pragma once

#include <cstdint>

// Block 0 (A) carries Cr, block 1 (B) Cb, as the console's decoder reads them.
constexpr float kFactorBToP0 = 1.772f;
constexpr float kFactorBToP1 = -0.3437f;
constexpr float kFactorAToP1 = -0.7143f;
constexpr float kFactorAToP2 = 1.402f;
constexpr double kLevelOffset = 128.0;

constexpr int32_t kFixedBToP0 = 454;    // 1.772 * 256
constexpr int32_t kFixedBToP1 = -88;    // -0.3437 * 256
constexpr int32_t kFixedAToP1 = -183;   // -0.7143 * 256
constexpr int32_t kFixedAToP2 = 359;    // 1.402 * 256
constexpr int kFixedFactorShift = 8;
constexpr int32_t kFixedLevelOffset = 128;

// A chroma sample colours a 2x2 square: the four luminance positions, in
// the order the converters write them, as (dx, dy).
constexpr int kSquareDx[4] = {0, 1, 0, 1};
constexpr int kSquareDy[4] = {0, 0, 1, 1};
