// The encoder's code book: the zig-zag walked out diagonal by diagonal, the
// MPEG-1 default intra matrix read in that order, and the run/level codes
// written run by run.
#include "tools/mkdisc/mdec_code_book.hpp"

#include <cstddef>

namespace mkdisc {

namespace {

constexpr int kSide = 8;

// The MPEG-1 default intra quantiser matrix, row-major. The console's table
// is this matrix in scan order, with 2 in the DC place.
constexpr uint8_t kIntraMatrix[kBlockCoefficients] = {
    8,  16, 19, 22, 26, 27, 29, 34,  //
    16, 16, 22, 24, 27, 29, 34, 37,  //
    19, 22, 26, 27, 29, 34, 34, 38,  //
    22, 22, 26, 27, 29, 34, 37, 40,  //
    22, 26, 27, 29, 32, 35, 40, 48,  //
    26, 27, 29, 32, 35, 40, 48, 58,  //
    26, 27, 29, 34, 38, 46, 56, 69,  //
    27, 29, 35, 38, 46, 56, 69, 83,
};
constexpr uint8_t kDcWeight = 2;

// Codes of run r for levels 1, 2, ... (MPEG-1 table B.14, sign bit left out;
// run 0 level 1 is "11" everywhere after the first coefficient of a block).
struct RunCodes {
  int run;
  const char* levels[40];
};
constexpr RunCodes kRunCodes[] = {
    {0,
     {"11", "0100", "00101", "0000110", "00100110", "00100001", "0000001010", "000000011101",
      "000000011000", "000000010011", "000000010000", "0000000011010", "0000000011001",
      "0000000011000", "0000000010111", "00000000011111", "00000000011110", "00000000011101",
      "00000000011100", "00000000011011", "00000000011010", "00000000011001", "00000000011000",
      "00000000010111", "00000000010110", "00000000010101", "00000000010100", "00000000010011",
      "00000000010010", "00000000010001", "00000000010000", "000000000011000", "000000000010111",
      "000000000010110", "000000000010101", "000000000010100", "000000000010011",
      "000000000010010", "000000000010001", "000000000010000"}},
    {1,
     {"011", "000110", "00100101", "0000001100", "000000011011", "0000000010110", "0000000010101",
      "000000000011111", "000000000011110", "000000000011101", "000000000011100",
      "000000000011011", "000000000011010", "000000000011001", "0000000000010011",
      "0000000000010010", "0000000000010001", "0000000000010000"}},
    {2, {"0101", "0000100", "0000001011", "000000010100", "0000000010100"}},
    {3, {"00111", "00100100", "000000011100", "0000000010011"}},
    {4, {"00110", "0000001111", "000000010010"}},
    {5, {"000111", "0000001001", "0000000010010"}},
    {6, {"000101", "000000011110", "0000000000010100"}},
    {7, {"000100", "000000010101"}},
    {8, {"0000111", "000000010001"}},
    {9, {"0000101", "0000000010001"}},
    {10, {"00100111", "0000000010000"}},
    {11, {"00100011", "0000000000011010"}},
    {12, {"00100010", "0000000000011001"}},
    {13, {"00100000", "0000000000011000"}},
    {14, {"0000001110", "0000000000010111"}},
    {15, {"0000001101", "0000000000010110"}},
    {16, {"0000001000", "0000000000010101"}},
    {17, {"000000011111"}},
    {18, {"000000011010"}},
    {19, {"000000011001"}},
    {20, {"000000010111"}},
    {21, {"000000010110"}},
    {22, {"0000000011111"}},
    {23, {"0000000011110"}},
    {24, {"0000000011101"}},
    {25, {"0000000011100"}},
    {26, {"0000000011011"}},
    {27, {"0000000000011111"}},
    {28, {"0000000000011110"}},
    {29, {"0000000000011101"}},
    {30, {"0000000000011100"}},
    {31, {"0000000000011011"}},
};
constexpr int kRunsWithCodes = sizeof kRunCodes / sizeof kRunCodes[0];

constexpr const char* kDcSizeLuma[kDcSizes] = {
    "100", "00", "01", "101", "110", "1110", "11110", "111110",
    "1111110", "11111110", "111111110", "111111111",
};
constexpr const char* kDcSizeChroma[kDcSizes] = {
    "00", "01", "10", "110", "1110", "11110", "111110", "1111110",
    "11111110", "111111110", "1111111110", "1111111111",
};

std::array<uint8_t, kBlockCoefficients> walk_zigzag() {
  std::array<uint8_t, kBlockCoefficients> order{};
  int k = 0;
  for (int diagonal = 0; diagonal < 2 * kSide - 1; ++diagonal) {
    // Even diagonals run up and to the right, odd ones down and to the left.
    for (int i = 0; i <= diagonal; ++i) {
      const int y = diagonal % 2 == 0 ? diagonal - i : i;
      const int x = diagonal - y;
      if (x < kSide && y < kSide) order[static_cast<size_t>(k++)] = static_cast<uint8_t>(y * kSide + x);
    }
  }
  return order;
}

}  // namespace

const std::array<uint8_t, kBlockCoefficients>& zigzag_order() {
  static const std::array<uint8_t, kBlockCoefficients> order = walk_zigzag();
  return order;
}

const std::array<uint8_t, kBlockCoefficients>& quantisation_weights() {
  static const std::array<uint8_t, kBlockCoefficients> weights = [] {
    std::array<uint8_t, kBlockCoefficients> w{};
    for (int k = 0; k < kBlockCoefficients; ++k) w[static_cast<size_t>(k)] = kIntraMatrix[zigzag_order()[static_cast<size_t>(k)]];
    w[0] = kDcWeight;
    return w;
  }();
  return weights;
}

const char* run_level_code(int run, int level) {
  if (run < 0 || run >= kRunsWithCodes || level < 1 || level > 40) return nullptr;
  return kRunCodes[run].levels[level - 1];
}

const char* dc_size_code(int size, bool chroma) {
  if (size < 0 || size >= kDcSizes) return nullptr;
  return chroma ? kDcSizeChroma[size] : kDcSizeLuma[size];
}

}  // namespace mkdisc
