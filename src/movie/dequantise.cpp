// AC coefficients are scaled by the quantisation table and the frame's
// quantisation scale in 32-bit arithmetic (wrapping like the machine's
// multiply), then divided by 16 toward zero and kept as 16 bits.
#include "movie/dequantise.hpp"

#include <cstring>

#include "movie/mdec_tables.hpp"

namespace {
constexpr int32_t kAcDivisor = 16;
constexpr int kDcScaleV3 = 4;
}  // namespace

void dequantise_block(const int16_t* in, int16_t* out, bool dc_times_four, uint32_t scale) {
  std::memset(out, 0, kCoefficientsPerBlock * sizeof(int16_t));
  out[0] = dc_times_four ? static_cast<int16_t>(in[0] * kDcScaleV3) : in[0];
  for (int k = 1; k < kCoefficientsPerBlock; ++k) {
    if (in[k] == 0) continue;
    const uint32_t product = static_cast<uint32_t>(in[k]) * kQuantTable[k] * scale;
    const int32_t v = static_cast<int32_t>(product) / kAcDivisor;
    out[kZigzag[k]] = static_cast<int16_t>(v);
  }
}
