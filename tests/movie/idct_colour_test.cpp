// Dequantisation, the inverse DCT (the fast variant against the reference,
// bit for bit) and the colour conversion of a macroblock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "format/mdec/colour.hpp"
#include "format/mdec/dequantise.hpp"
#include "format/mdec/idct.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "platform/cpu_features.hpp"

namespace {

TEST(Dequantise, DcScaleZigzagAndTruncation) {
  int16_t in[64] = {}, out[64];
  in[0] = -300;
  in[1] = 3;     // 3 x 16 x 5 / 16 = 15 at position 1
  in[2] = -1;    // -1 x 16 x 5 / 16 = -5 at position 8
  in[3] = -1;    // -1 x 19 x 5 = -95, / 16 toward zero = -5 at position 16
  in[63] = 7;    // 7 x 83 x 5 = 2905 / 16 = 181 at position 63
  dequantise_block(in, out, false, 5);
  EXPECT_EQ(out[0], -300);
  EXPECT_EQ(out[1], 15);
  EXPECT_EQ(out[8], -5);
  EXPECT_EQ(out[16], -5);
  EXPECT_EQ(out[63], 181);
  int nonzero = 0;
  for (int i = 0; i < 64; ++i) nonzero += out[i] != 0;
  EXPECT_EQ(nonzero, 5);
  dequantise_block(in, out, true, 5);
  EXPECT_EQ(out[0], -1200);
  // Scan indices 34 and 35 carry 23.
  int16_t only34[64] = {};
  only34[34] = 16;
  dequantise_block(only34, out, false, 1);
  EXPECT_EQ(out[kZigzag[34]], 23);
}

TEST(Dequantise, ThirtyTwoBitWrapAndSixteenBitResult) {
  int16_t in[64] = {}, out[64];
  in[63] = 32767;  // 32767 x 83 x 65535 wraps in 32 bits
  dequantise_block(in, out, false, 65535);
  const uint32_t product = 32767u * 83u * 65535u;
  const int32_t expected = static_cast<int32_t>(product) / 16;
  EXPECT_EQ(out[63], static_cast<int16_t>(expected));
  in[63] = 1000;  // 1000 x 83 x 100 / 16 = 518750: low 16 bits
  dequantise_block(in, out, false, 100);
  EXPECT_EQ(out[63], static_cast<int16_t>(518750));
}

TEST(Idct, DcOnlyGivesAQuarter) {
  int16_t in[64] = {};
  double out[64];
  in[0] = 100;
  idct_block_reference(in, out);
  for (double v : out) EXPECT_EQ(v, 25.0);
  in[0] = -7;
  idct_block_sse2(in, out);
  for (double v : out) EXPECT_EQ(v, -1.75);
}

TEST(Idct, WeightsFollowTheConstants) {
  const double c1 = 0.69352f, c2 = 0.653282f, c3 = 0.587938f, c5 = 0.392848f, c6 = 0.2706f, c7 = 0.13795f;
  // o[1] = 0.5u0 + c3u1 + c6u2 - c7u3 - c4u4 - c1u5 - c2u6 - c5u7
  const double expected_column1[8] = {0.5, c3, c6, -c7, -0.5, -c1, -c2, -c5};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(kIdctWeights[k][1], expected_column1[k]) << k;
  const double expected_column0[8] = {0.5, c1, c2, c3, 0.5, c5, c6, c7};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(kIdctWeights[k][0], expected_column0[k]) << k;
}

TEST(Idct, PassTwoTruncatesAllButInputsZeroAndFour) {
  // Row 1 alone: its pass-1 outputs (u1 of pass 2) are truncated to integers.
  int16_t in[64] = {};
  in[8] = 3;  // row 1, column 0: pass 1 gives 1.5 everywhere, truncated to 1
  double out[64];
  idct_block_reference(in, out);
  EXPECT_EQ(out[0], 1 * static_cast<double>(0.69352f));
  // Row 4 alone: kept at full precision.
  std::memset(in, 0, sizeof in);
  in[32] = 3;
  idct_block_reference(in, out);
  EXPECT_EQ(out[0], 1.5 * 0.5);
}

void expect_same(const int16_t* in) {
  double reference[64], fast[64];
  idct_block_reference(in, reference);
  idct_block_sse2(in, fast);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(reference[i], fast[i]) << "SSE2, position " << i;
  if (cpu_features().avx) {
    idct_block_avx(in, fast);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(reference[i], fast[i]) << "AVX, position " << i;
  }
}

TEST(Idct, FastVariantsEqualReference) {
  std::mt19937 rng(1234);
  int16_t in[64];
  for (int trial = 0; trial < 20000; ++trial) {
    std::memset(in, 0, sizeof in);
    const int mode = trial % 4;
    if (mode == 0) {  // dense, full 16-bit range
      for (auto& v : in) v = static_cast<int16_t>(rng());
    } else {  // sparse, as real pictures are
      const int count = 1 + static_cast<int>(rng() % 10);
      const int range = mode == 1 ? 64 : (mode == 2 ? 2048 : 65536);
      for (int n = 0; n < count; ++n)
        in[rng() % 64] = static_cast<int16_t>(static_cast<int>(rng() % range) - range / 2);
    }
    expect_same(in);
  }
}

TEST(Colour, PixelTruncationAndLimits) {
  uint8_t p[3];
  colour_pixel(0.0, 0.0, 0.0, p);
  EXPECT_EQ(p[0], 128);
  EXPECT_EQ(p[1], 128);
  EXPECT_EQ(p[2], 128);
  // p0 = 255.9 becomes 255; p1 = -0.9 becomes 0 (truncation toward zero).
  colour_pixel(127.9, 0.0, 0.0, p);
  EXPECT_EQ(p[0], 255);
  colour_pixel(-128.9, 0.0, 0.0, p);
  EXPECT_EQ(p[1], 0);
  colour_pixel(-128.5, 0.0, 0.0, p);
  EXPECT_EQ(p[2], 0);
  // Above 255 gives 255; beyond 16 bits the value wraps before the limit.
  colour_pixel(128.0, 0.0, 0.0, p);
  EXPECT_EQ(p[2], 255);
  colour_pixel(65536.0 - 128.0 + 10.0, 0.0, 0.0, p);
  EXPECT_EQ(p[0], 10);
  colour_pixel(32768.0 - 128.0, 0.0, 0.0, p);  // -32768 as 16 bits
  EXPECT_EQ(p[0], 0);
  // Blue from B, red from A, green from both.
  colour_pixel(0.0, 10.0, 0.0, p);
  EXPECT_EQ(p[0], 128);
  EXPECT_EQ(p[1], 124);  // 128 - 3.437
  EXPECT_EQ(p[2], 145);  // 128 + 17.72
  colour_pixel(0.0, 0.0, 10.0, p);
  EXPECT_EQ(p[0], 142);  // 128 + 14.02
  EXPECT_EQ(p[1], 120);  // 128 - 7.143
  EXPECT_EQ(p[2], 128);
}

TEST(Colour, MacroblockMatchesPixelFormulaAndLayout) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> sample(-300.0, 300.0);
  double blocks[6 * 64];
  for (double& v : blocks) v = sample(rng);
  const size_t stride = 40 * 3;  // inside a wider picture
  std::vector<uint8_t> picture(stride * 16, 0xEE);
  colour_macroblock(blocks, picture.data() + 3, stride);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int quarter = 2 + (y / 8) * 2 + x / 8;
      const double luma = blocks[quarter * 64 + (y % 8) * 8 + x % 8];
      const int c = (y / 2) * 8 + x / 2;
      uint8_t expected[3];
      colour_pixel(luma, blocks[c], blocks[64 + c], expected);
      const uint8_t* got = picture.data() + y * stride + 3 + x * 3;
      ASSERT_EQ(0, std::memcmp(got, expected, 3)) << x << "," << y;
    }
  }
  EXPECT_EQ(picture[0], 0xEE);  // nothing before the macroblock
  EXPECT_EQ(picture[3 + 48], 0xEE);  // nor after its 16 pixels
}

TEST(Colour, ChromaSampleSevenSevenCoversBottomRight) {
  double blocks[6 * 64] = {};
  blocks[63] = 50.0;  // block A, sample (7, 7)
  const size_t stride = 16 * 3;
  uint8_t picture[16 * 16 * 3];
  colour_macroblock(blocks, picture, stride);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool covered = x >= 14 && y >= 14;
      EXPECT_EQ(picture[y * stride + x * 3 + 2], covered ? 216 : 128) << x << "," << y;
    }
}

TEST(Placement, ColumnsAndRows) {
  // 16x16: one macroblock at the origin either way.
  EXPECT_EQ(macroblock_origin(0, 16, 16, false).x, 0u);
  // 32x16: the second macroblock to the right either way.
  EXPECT_EQ(macroblock_origin(1, 32, 16, false).x, 16u);
  EXPECT_EQ(macroblock_origin(1, 32, 16, true).x, 16u);
  // 16x32: below either way.
  EXPECT_EQ(macroblock_origin(1, 16, 32, false).y, 16u);
  EXPECT_EQ(macroblock_origin(1, 16, 32, true).y, 16u);
  // 32x32: below by columns, right by rows.
  MacroblockOrigin c = macroblock_origin(1, 32, 32, false), r = macroblock_origin(1, 32, 32, true);
  EXPECT_EQ(c.x, 0u);
  EXPECT_EQ(c.y, 16u);
  EXPECT_EQ(r.x, 16u);
  EXPECT_EQ(r.y, 0u);
  // 48x32 by columns: index 3 is the second macroblock of the second column.
  c = macroblock_origin(3, 48, 32, false);
  EXPECT_EQ(c.x, 16u);
  EXPECT_EQ(c.y, 16u);
}

}  // namespace

namespace {

TEST(Colour, FastVariantsEqualPlain) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> normal(-200.0, 200.0), wide(-70000.0, 70000.0);
  double blocks[6 * 64];
  uint8_t plain[16 * 16 * 3], fast[16 * 16 * 3];
  for (int trial = 0; trial < 2000; ++trial) {
    for (double& v : blocks) v = trial % 3 == 0 ? wide(rng) : normal(rng);
    colour_macroblock(blocks, plain, 48);
    colour_macroblock_sse2(blocks, fast, 48);
    ASSERT_EQ(0, std::memcmp(plain, fast, sizeof plain)) << "SSE2, trial " << trial;
    if (!cpu_features().avx2) continue;
    colour_macroblock_avx2(blocks, fast, 48);
    ASSERT_EQ(0, std::memcmp(plain, fast, sizeof plain)) << "AVX2, trial " << trial;
  }
}

}  // namespace
