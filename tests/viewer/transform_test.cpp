// The three viewer transforms, bit for bit: seeds worked out by hand from
// the weights and shifts, and random blocks against a literal evaluation of
// the sums written from the constants themselves.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "format/viewer/idct_layout.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

// The cosine weight rule written out again from the seven constants.
float literal_weight(int k, int x) {
  const float c[8] = {0.0f, 0.69352f, 0.653282f, 0.587938f, 0.5f, 0.392848f, 0.2706f, 0.13795f};
  if (k == 0) return 0.5f;
  int a = ((2 * x + 1) * k) % 32;
  if (a > 16) a = 32 - a;
  return a < 8 ? c[a] : -c[16 - a];
}

std::vector<float> literal_float_idct(const int16_t* f) {
  float t[8][8];
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      float s = static_cast<float>(f[r * 8] * static_cast<double>(literal_weight(0, x) / 16));
      for (int k = 1; k < 8; ++k)
        s = static_cast<float>(double(s) + f[r * 8 + k] * double(literal_weight(k, x) / 16));
      t[x][r] = s;
    }
  std::vector<float> out(64);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y) {
      float s = static_cast<float>(double(t[x][0]) * double(literal_weight(0, y)));
      for (int k = 1; k < 8; ++k) s = static_cast<float>(double(s) + double(t[x][k]) * double(literal_weight(k, y)));
      out[y * 8 + x] = s;
    }
  return out;
}

// Integer transform with 64-bit sums cut to 32 bits (two's complement).
template <int kPoints>
std::vector<int16_t> literal_int_idct(const int16_t* f, const int16_t (*w)[8], int shift1,
                                      int shift2) {
  int16_t t[kPoints][8];
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < kPoints; ++x) {
      int64_t s = 0;
      for (int k = 0; k < 8; ++k) s += int64_t(w[x][k]) * f[r * 8 + k];
      t[x][r] = static_cast<int16_t>(static_cast<int32_t>(s) >> shift1);
    }
  std::vector<int16_t> out(kPoints * kPoints);
  for (int x = 0; x < kPoints; ++x)
    for (int y = 0; y < kPoints; ++y) {
      int64_t s = 0;
      for (int k = 0; k < 8; ++k) s += int64_t(w[y][k]) * t[x][k];
      out[y * kPoints + x] = static_cast<int16_t>(static_cast<int32_t>(s) >> shift2);
    }
  return out;
}

std::vector<int16_t> random_blocks(int count, int range, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> value(-range, range);
  std::uniform_int_distribution<int> sparse(0, 3);
  std::vector<int16_t> blocks(count * 64);
  for (auto& c : blocks) c = sparse(rng) == 0 ? static_cast<int16_t>(value(rng)) : 0;
  return blocks;
}

TEST(FloatTransform, FlatBlockAndSingleCosine) {
  int16_t block[64] = {};
  block[0] = 320;  // 16 x 4 x 5: five after both passes
  float out[64];
  inverse_dct_float(block, 1, out);
  for (float s : out) EXPECT_EQ(s, 5.0f);

  // One first-order coefficient of row 0: every row carries 0.5 w(1, x),
  // the signs of the cosine pattern included.
  std::memset(block, 0, sizeof block);
  block[1] = 16;
  inverse_dct_float(block, 1, out);
  const float expected[8] = {0.34676f, 0.293969f, 0.196424f, 0.068975f,
                             -0.068975f, -0.196424f, -0.293969f, -0.34676f};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(out[y * 8 + x], expected[x]) << y << "," << x;
}

TEST(FloatTransform, MatchesTheLiteralSumsOnRandomBlocks) {
  const auto blocks = random_blocks(200, 4000, 1);
  std::vector<float> out(blocks.size());
  inverse_dct_float(blocks.data(), 200, out.data());
  for (int b = 0; b < 200; ++b) {
    const auto expected = literal_float_idct(&blocks[b * 64]);
    ASSERT_EQ(0, std::memcmp(expected.data(), &out[b * 64], 64 * sizeof(float))) << "block " << b;
  }
}

TEST(FixedTransform, FlatBlocksFloorBelowTheTrueLevel) {
  int16_t block[64] = {};
  int16_t out[64];
  block[0] = 1024;  // level 16: (8191*1024)>>16 = 127, (8191*127)>>16 = 15
  inverse_dct_fixed(block, 1, out);
  for (int16_t s : out) EXPECT_EQ(s, 15);
  block[0] = -1024;  // -127.98 floors to -128, then -15.998 to -16
  inverse_dct_fixed(block, 1, out);
  for (int16_t s : out) EXPECT_EQ(s, -16);
}

TEST(FixedTransform, MatchesTheLiteralSumsIncludingWrapAround) {
  auto blocks = random_blocks(200, 30000, 2);
  // A row of maximal values overflows the 32-bit sum and must wrap.
  for (int k = 0; k < 8; ++k) blocks[k] = 32767;
  std::vector<int16_t> out(blocks.size());
  inverse_dct_fixed(blocks.data(), 200, out.data());
  for (int b = 0; b < 200; ++b) {
    const auto expected = literal_int_idct<8>(&blocks[b * 64], kFixedIdctWeights, 16, 16);
    ASSERT_EQ(0, std::memcmp(expected.data(), &out[b * 64], 64 * 2)) << "block " << b;
  }
}

TEST(FilterTransform, DoublesABlockAndKeepsItsLevel) {
  int16_t block[64] = {};
  int16_t out[256];
  block[0] = 1024;  // (5792*1024)>>15 = 181 exactly, (5792*181)>>16 = 15
  inverse_dct_filter(block, 1, out);
  for (int16_t s : out) EXPECT_EQ(s, 15);
}

TEST(FilterTransform, MatchesTheLiteralSums) {
  const auto blocks = random_blocks(100, 30000, 3);
  std::vector<int16_t> out(100 * 256);
  inverse_dct_filter(blocks.data(), 100, out.data());
  for (int b = 0; b < 100; ++b) {
    const auto expected = literal_int_idct<16>(&blocks[b * 64], kFilterIdctWeights, 15, 16);
    ASSERT_EQ(0, std::memcmp(expected.data(), &out[b * 256], 256 * 2)) << "block " << b;
  }
}

}  // namespace
