// The reference inverse DCT: every output a direct eight-term sum, terms
// added in the order k = 0..7.

#include "format/mdec/idct.hpp"

namespace {

// Pass-2 inputs other than 0 and 4 are truncated toward zero and kept as 16 bits.
inline double truncate_to_16_bits(double v) {
  return static_cast<double>(static_cast<int16_t>(static_cast<int32_t>(v)));
}

inline bool truncated_in_pass_2(int k) { return k != 0 && k != 4; }

}  // namespace

void idct_block_reference(const int16_t* in, double* out) {
  double transposed[8][8];  // [x][row]
  for (int r = 0; r < 8; ++r) {
    for (int x = 0; x < 8; ++x) {
      double sum = kIdctWeights[0][x] * in[r * 8];
      for (int k = 1; k < 8; ++k) sum += in[r * 8 + k] * kIdctWeights[k][x];
      transposed[x][r] = sum;
    }
  }
  for (int x = 0; x < 8; ++x) {
    double u[8];
    for (int k = 0; k < 8; ++k)
      u[k] = truncated_in_pass_2(k) ? truncate_to_16_bits(transposed[x][k]) : transposed[x][k];
    for (int y = 0; y < 8; ++y) {
      double sum = kIdctWeights[0][y] * u[0];
      for (int k = 1; k < 8; ++k) sum += u[k] * kIdctWeights[k][y];
      out[y * 8 + x] = sum;
    }
  }
}
