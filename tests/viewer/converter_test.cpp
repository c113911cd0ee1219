// Quarter converters and drawings: rounding and limiting of the float
// converters, the 1/256 integer factors, the SIMD converter against the
// plain one, and quarter placement on surfaces with padded rows.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "format/viewer/clamp_table.hpp"
#include "format/viewer/routine_table.hpp"

namespace {

struct FloatQuarter {
  float luma[64] = {};
  float a[64] = {};
  float b[64] = {};
};

// Converts a quarter with every luminance sample y and chroma a, b; returns
// the first pixel.
std::vector<uint8_t> convert_float(ConvertQuadrantFn convert, float y, float a, float b) {
  FloatQuarter q;
  for (auto& v : q.luma) v = y;
  for (auto& v : q.a) v = a;
  for (auto& v : q.b) v = b;
  std::vector<uint8_t> pixels(8 * 8 * 3);
  convert(q.luma, q.a, q.b, pixels.data(), 8 * 3, 3);
  return {pixels[0], pixels[1], pixels[2]};
}

class FloatConverters : public ::testing::TestWithParam<ConvertQuadrantFn> {
 protected:
  void SetUp() override { fill_clamp_table(); }
};

TEST_P(FloatConverters, RoundToNearestEvenThenLimit) {
  const ConvertQuadrantFn convert = GetParam();
  EXPECT_EQ(convert_float(convert, 0.0f, 0, 0), (std::vector<uint8_t>{128, 128, 128}));
  EXPECT_EQ(convert_float(convert, 127.5f, 0, 0), (std::vector<uint8_t>{255, 255, 255}));  // 256
  EXPECT_EQ(convert_float(convert, 126.5f, 0, 0), (std::vector<uint8_t>{254, 254, 254}));  // tie
  EXPECT_EQ(convert_float(convert, 125.5f, 0, 0), (std::vector<uint8_t>{254, 254, 254}));  // tie
  EXPECT_EQ(convert_float(convert, -128.6f, 0, 0), (std::vector<uint8_t>{0, 0, 0}));       // -1
  EXPECT_EQ(convert_float(convert, -128.4f, 0, 0), (std::vector<uint8_t>{0, 0, 0}));       // -0
  // Values far outside the table's reach still limit to the ends.
  EXPECT_EQ(convert_float(convert, 90000.0f, 0, 0), (std::vector<uint8_t>{255, 255, 255}));
  EXPECT_EQ(convert_float(convert, -90000.0f, 0, 0), (std::vector<uint8_t>{0, 0, 0}));
  // B (Cb) moves p0 (blue) and p1, A (Cr) moves p1 and p2 (red): 10 x 1.772
  // = 17.72 and -3.437 for B, 10 x 1.402 = 14.02 and -7.143 for A.
  EXPECT_EQ(convert_float(convert, 0.0f, 0, 10), (std::vector<uint8_t>{146, 125, 128}));
  EXPECT_EQ(convert_float(convert, 0.0f, 10, 0), (std::vector<uint8_t>{128, 121, 142}));
}

INSTANTIATE_TEST_SUITE_P(PlainAndSimd, FloatConverters,
                         ::testing::Values(convert_quadrant_float, convert_quadrant_float_mmx),
                         // Named by variant: the default name is the function's
                         // address, which changes from run to run.
                         [](const auto& variant) { return variant.index == 0 ? "Plain" : "Simd"; });

TEST(FloatConverters, SimdGivesThePlainBytesOnRandomQuarters) {
  fill_clamp_table();
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> near(-200.0f, 300.0f);
  std::uniform_real_distribution<float> far(-40000.0f, 40000.0f);
  for (int round = 0; round < 2000; ++round) {
    auto& dist = round % 4 == 0 ? far : near;
    FloatQuarter q;
    for (auto& v : q.luma) v = dist(rng);
    for (auto& v : q.a) v = dist(rng) / 2;
    for (auto& v : q.b) v = dist(rng) / 2;
    if (round % 5 == 0) q.luma[3] = 126.5f;  // a tie now and then
    // Rows padded past the quarter, 4 bytes a pixel: the fourth byte is
    // left alone by both.
    std::vector<uint8_t> plain(8 * 40, 0xAA), simd(8 * 40, 0xAA);
    convert_quadrant_float(q.luma, q.a, q.b, plain.data(), 40, 4);
    convert_quadrant_float_mmx(q.luma, q.a, q.b, simd.data(), 40, 4);
    ASSERT_EQ(plain, simd) << "round " << round;
  }
}

TEST(ClampTable, ZeroThenIdentityThenFull) {
  fill_clamp_table();
  EXPECT_EQ(clamp_table[0], 0);
  EXPECT_EQ(clamp_table[127], 0);
  EXPECT_EQ(clamp_table[128], 0);
  EXPECT_EQ(clamp_table[200], 72);
  EXPECT_EQ(clamp_table[383], 255);
  EXPECT_EQ(clamp_table[511], 255);
}

std::vector<uint8_t> convert_fixed(int16_t y, int16_t a, int16_t b) {
  int16_t luma[64], ca[64], cb[64];
  for (int i = 0; i < 64; ++i) luma[i] = y, ca[i] = a, cb[i] = b;
  std::vector<uint8_t> pixels(8 * 8 * 3);
  convert_quadrant_fixed(luma, ca, cb, pixels.data(), 24, 3);
  return {pixels[0], pixels[1], pixels[2]};
}

// The integer factors (1/256 units) of the fixed-point and filter
// converters, pinned with chroma of real size: every value from -128 to 127
// on its own, where the result lies inside 0..255. A factor off by one
// unit shows.
TEST(FixedConverter, TheFourIntegerFactorsHoldForChromaOfRealSize) {
  using Convert = void (*)(const int16_t*, const int16_t*, const int16_t*, uint8_t*, int32_t, uint32_t);
  for (const Convert convert : {convert_quadrant_fixed, convert_quadrant_filter}) {
    for (int c = -128; c <= 127; ++c) {
      int16_t luma[256] = {}, zero[256] = {}, chroma[256];
      for (auto& v : chroma) v = static_cast<int16_t>(c);
      std::vector<uint8_t> pixels(16 * 16 * 3);
      auto check = [&](int32_t value, uint8_t got, const char* what) {
        if (value < 0 || value > 255) return;
        EXPECT_EQ(got, value) << what << " at chroma " << c;
      };
      convert(luma, chroma, zero, pixels.data(), 16 * 3, 3);  // block A alone
      check(128 + ((-183 * c) >> 8), pixels[1], "green from A");
      check(128 + ((359 * c) >> 8), pixels[2], "red from A");
      convert(luma, zero, chroma, pixels.data(), 16 * 3, 3);  // block B alone
      check(128 + ((454 * c) >> 8), pixels[0], "blue from B");
      check(128 + ((-88 * c) >> 8), pixels[1], "green from B");
    }
  }
}

// The same for the floating-point converters, rounding to nearest.
TEST(FloatConverters, TheFourFactorsHoldForChromaOfRealSize) {
  fill_clamp_table();
  // Block A is Cr, block B is Cb, as the console pairs them.
  const double blue_b = static_cast<double>(1.772f), green_a = static_cast<double>(-0.7143f);
  const double green_b = static_cast<double>(-0.3437f), red_a = static_cast<double>(1.402f);
  for (const ConvertQuadrantFn convert : {convert_quadrant_float, convert_quadrant_float_mmx}) {
    for (int c = -128; c <= 127; ++c) {
      auto check = [&](double value, uint8_t got, const char* what) {
        const double rounded = std::nearbyint(value);
        if (rounded < 0 || rounded > 255) return;
        EXPECT_EQ(got, rounded) << what << " at chroma " << c;
      };
      const auto from_a = convert_float(convert, 0.0f, static_cast<float>(c), 0.0f);
      check(128.0 + green_a * c, from_a[1], "green from A");
      check(128.0 + red_a * c, from_a[2], "red from A");
      const auto from_b = convert_float(convert, 0.0f, 0.0f, static_cast<float>(c));
      check(128.0 + blue_b * c, from_b[0], "blue from B");
      check(128.0 + green_b * c, from_b[1], "green from B");
    }
  }
}

TEST(FixedConverter, ShiftsTowardMinusInfinity) {
  EXPECT_EQ(convert_fixed(0, 0, 1), (std::vector<uint8_t>{129, 127, 128}));   // 1, -1, 0
  EXPECT_EQ(convert_fixed(0, 0, -1), (std::vector<uint8_t>{126, 128, 128}));  // -2, 0, 0
  EXPECT_EQ(convert_fixed(100, 0, 0), (std::vector<uint8_t>{228, 228, 228}));
  EXPECT_EQ(convert_fixed(-200, 0, 0), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(FixedConverter, CrFeedsRedAndCbFeedsBlueInBothIntegerConverters) {
  // A (block 0) is Cr: red gets 359/256 of it, green -183/256. B (block 1)
  // is Cb: blue gets 454/256, green -88/256.
  EXPECT_EQ(convert_fixed(0, 50, 0), (std::vector<uint8_t>{128, 128 - 36, 128 + 70}));
  EXPECT_EQ(convert_fixed(0, 0, 50), (std::vector<uint8_t>{128 + 88, 128 - 18, 128}));
  int16_t luma[256] = {}, ca[256], cb[256];
  for (int i = 0; i < 256; ++i) ca[i] = 50, cb[i] = -50;
  std::vector<uint8_t> pixels(16 * 16 * 3);
  convert_quadrant_filter(luma, ca, cb, pixels.data(), 48, 3);
  // Blue: 128 + floor(-88.7); green: 128 + floor((4400 - 9150) / 256); red: 128 + 70.
  EXPECT_EQ((std::vector<uint8_t>{pixels[0], pixels[1], pixels[2]}), (std::vector<uint8_t>{128 - 89, 128 - 19, 128 + 70}));
}

TEST(FixedConverter, OnlyTheLow16BitsAreLimited) {
  // 32767 + 128 = 32895 reads as -32641 in 16 bits: black. With a large A,
  // p2 = 32895 + 58111 = 91006 reads as 25470: full.
  EXPECT_EQ(convert_fixed(32767, 0, 0), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(convert_fixed(32767, 32767, 0)[2], 255);
}

// Luminance block q of macroblock m holds the level 10 * m + q (q 0..3);
// chroma is 0. Every quarter must land at its place.
template <typename T>
std::vector<T> labelled_samples(int macroblocks, int side) {
  std::vector<T> samples(macroblocks * 6 * side * side, T(0));
  for (int m = 0; m < macroblocks; ++m)
    for (int q = 0; q < 4; ++q)
      for (int i = 0; i < side * side; ++i)
        samples[(m * 6 + 2 + q) * side * side + i] = static_cast<T>(10 * m + q - 128);
  return samples;
}

void expect_labelled_picture(const std::vector<uint8_t>& pixels, int pitch, int bpp, int columns,
                             int rows, int scale) {
  for (int py = 0; py < rows * 16 * scale; ++py)
    for (int px = 0; px < columns * 16 * scale; ++px) {
      const int mx = px / (16 * scale), my = py / (16 * scale);
      const int m = mx * rows + my;  // column by column
      const int q = ((py / (8 * scale)) % 2) * 2 + (px / (8 * scale)) % 2;
      const uint8_t* p = &pixels[py * pitch + px * bpp];
      ASSERT_EQ(p[0], 10 * m + q) << px << "," << py;
      ASSERT_EQ(p[2], 10 * m + q) << px << "," << py;
    }
}

TEST(Drawing, QuartersAndMacroblocksLandInPlaceOnPaddedRows) {
  fill_clamp_table();
  const int columns = 2, rows = 3, bpp = 4;
  for (int scale : {1, 2}) {
    const int pitch = columns * 16 * scale * bpp + 12;
    std::vector<uint8_t> pixels(pitch * rows * 16 * scale, 0xEE);
    const Surface surface{pixels.data(), pitch, static_cast<uint32_t>(bpp)};
    if (scale == 1) {
      auto fixed = labelled_samples<int16_t>(columns * rows, 8);
      draw_frame_fixed(fixed.data(), columns, rows, surface, nullptr);
      expect_labelled_picture(pixels, pitch, bpp, columns, rows, 1);
      auto floats = labelled_samples<float>(columns * rows, 8);
      std::fill(pixels.begin(), pixels.end(), 0xEE);
      draw_frame_float(floats.data(), columns, rows, surface, convert_quadrant_float);
      expect_labelled_picture(pixels, pitch, bpp, columns, rows, 1);
    } else {
      auto filter = labelled_samples<int16_t>(columns * rows, 16);
      draw_frame_filter(filter.data(), columns, rows, surface, nullptr);
      expect_labelled_picture(pixels, pitch, bpp, columns, rows, 2);
    }
    // The padding after each row is never touched.
    for (int y = 0; y < rows * 16 * scale; ++y)
      for (int i = columns * 16 * scale * bpp; i < pitch; ++i) ASSERT_EQ(pixels[y * pitch + i], 0xEE);
  }
}

TEST(Drawing, ChromaColoursTheSquareBelowAndRightOfItsSample) {
  // Chroma sample (3, 3) of block B covers pixels (6..7, 6..7) of the top-left
  // quarter only.
  std::vector<int16_t> samples(6 * 64, 0);
  samples[64 + 3 * 8 + 3] = 50;  // block B
  std::vector<uint8_t> pixels(16 * 16 * 3);
  draw_frame_fixed(samples.data(), 1, 1, Surface{pixels.data(), 48, 3}, nullptr);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool coloured = (x == 6 || x == 7) && (y == 6 || y == 7);
      // Block B is Cb: blue gets 454/256 (1.772) of it.
      EXPECT_EQ(pixels[y * 48 + x * 3], coloured ? 128 + (454 * 50 >> 8) : 128) << x << "," << y;
    }
}

}  // namespace
