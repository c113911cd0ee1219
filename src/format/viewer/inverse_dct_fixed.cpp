// 16-bit fixed-point inverse DCT: both passes multiply by the weight table
// M (about 16384 times the cosine weights), sum in 32-bit two's complement
// as a multiply-add on pairs does, and shift right by 16 toward minus
// infinity, keeping the low 16 bits.
#include "format/viewer/idct_layout.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

constexpr int kFixedShift = 16;

}  // namespace

void inverse_dct_fixed(const int16_t* coefficients, uint32_t block_count, void* samples) {
  int16_t* out = static_cast<int16_t*>(samples);
  for (uint32_t b = 0; b < block_count; ++b) {
    const int16_t* block = coefficients + b * 64;
    int16_t* dest = out + b * 64;
    int16_t transposed[8][8];  // [x][r]
    for (int r = 0; r < 8; ++r)
      for (int x = 0; x < 8; ++x)
        transposed[x][r] = fixed_point_dot(kFixedIdctWeights[x], block + r * 8, kFixedShift);
    for (int x = 0; x < 8; ++x)
      for (int y = 0; y < 8; ++y)
        dest[y * 8 + x] = fixed_point_dot(kFixedIdctWeights[y], transposed[x], kFixedShift);
  }
}
