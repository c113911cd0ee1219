// The transform's weights, built from seven single-precision constants
// (c_m close to cos(m pi/16)/sqrt(2)) used in double precision.
#include "format/mdec/idct.hpp"

namespace {

constexpr float kC[8] = {0.5f, 0.69352f, 0.653282f, 0.587938f, 0.5f, 0.392848f, 0.2706f, 0.13795f};
constexpr int kHalfTurn = 16;  // angles in 16ths of pi
constexpr int kFullTurn = 32;

constexpr double weight(int k, int x) {
  if (k == 0) return static_cast<double>(kC[0]);
  int a = ((2 * x + 1) * k) % kFullTurn;
  if (a > kHalfTurn) a = kFullTurn - a;
  return a < 8 ? static_cast<double>(kC[a]) : -static_cast<double>(kC[kHalfTurn - a]);
}

}  // namespace

#define KORVANE_W_ROW(k) \
  {weight(k, 0), weight(k, 1), weight(k, 2), weight(k, 3), weight(k, 4), weight(k, 5), weight(k, 6), weight(k, 7)}
const double kIdctWeights[8][8] = {KORVANE_W_ROW(0), KORVANE_W_ROW(1), KORVANE_W_ROW(2), KORVANE_W_ROW(3),
                                   KORVANE_W_ROW(4), KORVANE_W_ROW(5), KORVANE_W_ROW(6), KORVANE_W_ROW(7)};
#undef KORVANE_W_ROW

