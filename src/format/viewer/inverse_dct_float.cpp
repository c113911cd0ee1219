// Floating-point inverse DCT of the viewer: rows with the cosine weights
// divided by 16 (the viewer's coefficients are 16 times the conversion
// path's), then columns with the plain weights. Every product and sum is
// formed in double precision and the running sum kept in single precision.
#include <array>

#include "format/mdec/idct.hpp"
#include "format/viewer/idct_layout.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

using WeightTable = std::array<std::array<float, 8>, 8>;  // [k][x]

// The conversion path's weights are single-precision values, so the
// narrowing is exact; so is the division by a power of two.
WeightTable make_weights(float divisor) {
  WeightTable w{};
  for (int k = 0; k < 8; ++k)
    for (int x = 0; x < 8; ++x) w[k][x] = static_cast<float>(kIdctWeights[k][x]) / divisor;
  return w;
}

const WeightTable kRowWeights = make_weights(16.0f);
const WeightTable kColumnWeights = make_weights(1.0f);

// One output: the eight terms in order, rounded to single precision after
// each addition.
template <typename T>
inline float weighted_sum(const T* inputs, int input_step, const WeightTable& w, int x) {
  float sum = static_cast<float>(static_cast<double>(inputs[0]) * static_cast<double>(w[0][x]));
  for (int k = 1; k < 8; ++k) {
    sum = static_cast<float>(static_cast<double>(sum) +
                             static_cast<double>(inputs[k * input_step]) *
                                 static_cast<double>(w[k][x]));
  }
  return sum;
}

}  // namespace

void inverse_dct_float(const int16_t* coefficients, uint32_t block_count, void* samples) {
  float* out = static_cast<float*>(samples);
  for (uint32_t b = 0; b < block_count; ++b) {
    const int16_t* block = coefficients + b * 64;
    float* dest = out + b * 64;
    float transposed[8][8];  // [x][r]: output x of row r
    for (int r = 0; r < 8; ++r)
      for (int x = 0; x < 8; ++x) transposed[x][r] = weighted_sum(block + r * 8, 1, kRowWeights, x);
    for (int x = 0; x < 8; ++x)
      for (int y = 0; y < 8; ++y) dest[y * 8 + x] = weighted_sum(transposed[x], 1, kColumnWeights, y);
  }
}
