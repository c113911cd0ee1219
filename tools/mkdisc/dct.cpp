// Separable orthonormal 8x8 forward DCT from a table of basis values.
#include "tools/mkdisc/dct.hpp"

#include <cmath>
#include <numbers>

namespace mkdisc {

namespace {

constexpr int kN = 8;

struct Basis {
  double v[kN][kN];  // v[frequency][position]
  Basis() {
    for (int k = 0; k < kN; ++k)
      for (int x = 0; x < kN; ++x) {
        const double norm = k == 0 ? std::sqrt(1.0 / kN) : std::sqrt(2.0 / kN);
        v[k][x] = norm * std::cos((2 * x + 1) * k * std::numbers::pi / (2 * kN));
      }
  }
};

const Basis& basis() {
  static const Basis b;
  return b;
}

}  // namespace

void forward_dct_8x8(const double in[64], double out[64]) {
  const Basis& b = basis();
  double rows[kN][kN];  // rows[y][u]: horizontal transform of row y
  for (int y = 0; y < kN; ++y)
    for (int u = 0; u < kN; ++u) {
      double s = 0;
      for (int x = 0; x < kN; ++x) s += in[y * kN + x] * b.v[u][x];
      rows[y][u] = s;
    }
  for (int v = 0; v < kN; ++v)
    for (int u = 0; u < kN; ++u) {
      double s = 0;
      for (int y = 0; y < kN; ++y) s += rows[y][u] * b.v[v][y];
      out[v * kN + u] = s;
    }
}

}  // namespace mkdisc
