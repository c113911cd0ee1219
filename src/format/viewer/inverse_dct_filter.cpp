// The 16-point filter: the eight coefficients of each direction evaluated
// at sixteen points, which doubles every block to 16x16 samples. Rows are
// shifted by 15, columns by 16, so a flat block keeps its level.
#include "format/viewer/idct_layout.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

constexpr int kRowShift = 15;
constexpr int kColumnShift = 16;
constexpr int kPoints = 16;

}  // namespace

void inverse_dct_filter(const int16_t* coefficients, uint32_t block_count, void* samples) {
  int16_t* out = static_cast<int16_t*>(samples);
  for (uint32_t b = 0; b < block_count; ++b) {
    const int16_t* block = coefficients + b * 64;
    int16_t* dest = out + b * kPoints * kPoints;
    int16_t transposed[kPoints][8];  // [x][r]
    for (int r = 0; r < 8; ++r)
      for (int x = 0; x < kPoints; ++x)
        transposed[x][r] = fixed_point_dot(kFilterIdctWeights[x], block + r * 8, kRowShift);
    for (int x = 0; x < kPoints; ++x)
      for (int y = 0; y < kPoints; ++y)
        dest[y * kPoints + x] = fixed_point_dot(kFilterIdctWeights[y], transposed[x], kColumnShift);
  }
}
