// Weights and sample layouts of the viewer's three inverse DCTs: the 16-bit
// fixed-point weights and the 16-point weights of the filter that doubles
// every block.
#pragma once

#include <cstdint>

// The 8-point cosine weights are those of the conversion path
// (movie/idct.hpp, kIdctWeights[k][x]), single-precision values held in
// double precision.

// Sample bytes of one macroblock (six blocks) in each layout.
constexpr uint32_t kFloatSampleBytesPerMacroblock = 6 * 64 * 4;    // 8x8 floats a block
constexpr uint32_t kFixedSampleBytesPerMacroblock = 6 * 64 * 2;    // 8x8 int16 a block
constexpr uint32_t kFilterSampleBytesPerMacroblock = 6 * 256 * 2;  // 16x16 int16 a block
constexpr uint32_t kMaxSampleBytesPerMacroblock = kFilterSampleBytesPerMacroblock;

// M[x][k], close to 16384 * w(k, x); the uneven values are the weights.
extern const int16_t kFixedIdctWeights[8][8];
// K[x][k], close to 8192 * cos((2x + 1) k pi / 32), times 1/sqrt(2) for k = 0.
extern const int16_t kFilterIdctWeights[16][8];

// Eight products of 16-bit weights and samples summed with the wrap-around of
// 32-bit registers (as a multiply-add on pairs does), shifted right toward
// minus infinity, low 16 bits kept: one output of the fixed-point transforms.
inline int16_t fixed_point_dot(const int16_t* weights, const int16_t* inputs, int shift) {
  uint32_t sum = 0;
  for (int k = 0; k < 8; ++k)
    sum += static_cast<uint32_t>(static_cast<int32_t>(weights[k]) * static_cast<int32_t>(inputs[k]));
  return static_cast<int16_t>(static_cast<int32_t>(sum) >> shift);
}
