// The MDEC encoder against an independent decoder: header fields, exact
// coefficients of simple pictures, both versions round trip at a moderate
// scale, odd picture sizes, and the coding of extreme coefficients.
#include <gtest/gtest.h>

#include "base/byte_order.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "tests/tools/reference_decoder.hpp"
#include "tools/mkdisc/mdec_encoder.hpp"
#include "tools/mkdisc/sector.hpp"

using namespace mkdisc;

namespace {

RgbFrame flat(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  RgbFrame f = make_frame(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      f.pixel(x, y)[0] = r;
      f.pixel(x, y)[1] = g;
      f.pixel(x, y)[2] = b;
    }
  return f;
}

}  // namespace

TEST(MdecEncoder, HeaderCarriesScaleVersionAndWordCount) {
  for (int version : {2, 3}) {
    const std::vector<uint8_t> bs = encode_frame(flat(32, 16, 128, 128, 128), {version, 17, ColourConvention::korvane});
    ASSERT_GE(bs.size(), 8u);
    EXPECT_EQ(get_le16(&bs[2]), 0x3800);
    EXPECT_EQ(get_le16(&bs[4]), 17);
    EXPECT_EQ(get_le16(&bs[6]), version);
    EXPECT_EQ(bs.size() % 4, 0u);
    // Two macroblocks of six blocks, each a DC and an end code, no AC.
    EXPECT_EQ(get_le16(&bs[0]), 12);
  }
}

TEST(MdecEncoder, MidGreyIsAllZeroBlocksExactly) {
  // Grey 128 is luminance 0 with no chroma: version 2 codes each block as a
  // ten-bit zero DC and the end code "10".
  const std::vector<uint8_t> bs = encode_frame(flat(16, 16, 128, 128, 128), {2, 8, ColourConvention::console});
  for (const auto& b : reference::decode_blocks(bs, 16, 16))
    for (int16_t c : b) EXPECT_EQ(c, 0);
  // 6 blocks x 12 bits = 72 bits: words 0000000000 10 0000 | 000000 10 ...
  EXPECT_EQ(get_le16(&bs[8]), 0x0020);
}

TEST(MdecEncoder, FlatLumaDcMatchesTheDecoderScale) {
  // A flat block of luminance d decodes to d: version 2 stores 4 * d as DC
  // (the decoder's transform is twice the orthonormal one), version 3 d.
  const RgbFrame white = flat(16, 16, 228, 228, 228);  // 100 above mid grey in every channel
  const auto v2 = reference::decode_blocks(encode_frame(white, {2, 8, ColourConvention::console}), 16, 16);
  const auto v3 = reference::decode_blocks(encode_frame(white, {3, 8, ColourConvention::console}), 16, 16);
  for (int b = 2; b < 6; ++b) {
    EXPECT_EQ(v2[static_cast<size_t>(b)][0], 400);
    EXPECT_EQ(v3[static_cast<size_t>(b)][0], 100);
  }
  EXPECT_EQ(v2[0][0], 0);
  EXPECT_EQ(v2[1][0], 0);
}

TEST(MdecEncoder, RoundTripThroughKorvaneArithmeticIsClose) {
  // The sample pattern's shapes need room: at small sizes the half-resolution
  // chroma of their edges dominates the error.
  for (int version : {2, 3})
    for (Pattern p : {Pattern::gradient, Pattern::sample}) {
      const int w = p == Pattern::sample ? 320 : 96, h = p == Pattern::sample ? 240 : 64;
      const RgbFrame src = test_pattern(w, h, 5, p);
      const std::vector<uint8_t> bs = encode_frame(src, {version, 8, ColourConvention::korvane});
      const RgbFrame out = reference::decode_picture(bs, w, h);
      EXPECT_GE(reference::psnr(src, out), 30.0) << "version " << version << " pattern " << static_cast<int>(p);
    }
}

TEST(MdecEncoder, FinerScaleGivesBetterPictures) {
  const RgbFrame src = test_pattern(64, 48, 2, Pattern::bars);
  const double fine = reference::psnr(src, reference::decode_picture(encode_frame(src, {2, 2, ColourConvention::korvane}), 64, 48));
  const double coarse = reference::psnr(src, reference::decode_picture(encode_frame(src, {2, 40, ColourConvention::korvane}), 64, 48));
  EXPECT_GT(fine, coarse + 3.0);
}

TEST(MdecEncoder, OddSizesArePaddedToWholeMacroblocks) {
  const RgbFrame src = test_pattern(50, 30, 1, Pattern::gradient);
  for (int version : {2, 3}) {
    const std::vector<uint8_t> bs = encode_frame(src, {version, 6, ColourConvention::korvane});
    const RgbFrame out = reference::decode_picture(bs, 50, 30);
    EXPECT_EQ(out.width, 64);
    EXPECT_EQ(out.height, 32);
    EXPECT_GE(reference::psnr(src, out), 28.0);
  }
}

TEST(MdecEncoder, MacroblocksGoColumnByColumn) {
  // Left half black, right half white in a 32x32 picture: the second
  // macroblock in the stream is the one below the first (still black).
  RgbFrame f = flat(32, 32, 0, 0, 0);
  for (int y = 0; y < 32; ++y)
    for (int x = 16; x < 32; ++x) f.pixel(x, y)[0] = f.pixel(x, y)[1] = f.pixel(x, y)[2] = 255;
  const auto blocks = reference::decode_blocks(encode_frame(f, {2, 8, ColourConvention::korvane}), 32, 32);
  EXPECT_LT(blocks[2][0], 0);        // macroblock 0: top left, dark
  EXPECT_LT(blocks[6 + 2][0], 0);    // macroblock 1: bottom left, dark
  EXPECT_GT(blocks[12 + 2][0], 0);   // macroblock 2: top right, bright
}

TEST(MdecEncoder, LargeLevelsUseTheEscapeAndCodeBack) {
  // Hand-made blocks: levels beyond the table (escape), long runs, negative
  // values and extreme DCs all decode to what was coded.
  std::vector<CoefficientBlock> blocks(6, CoefficientBlock{});
  blocks[0][0] = -512;
  blocks[0][1] = 511;
  blocks[0][63] = -512;
  blocks[1][0] = 511;
  blocks[1][40] = 1;        // run 39 needs the escape
  blocks[2][0] = -1;
  blocks[2][5] = -3;
  blocks[2][6] = 40;        // (0, 40) has its own code
  blocks[3][2] = -17;
  EncodeOptions o{2, 1, ColourConvention::korvane};
  const auto back = reference::decode_blocks(code_frame(blocks, o), 16, 16);
  for (size_t i = 0; i < blocks.size(); ++i) EXPECT_EQ(back[i], blocks[i]) << "block " << i;
  // Version 3 with DC differences of every size, across macroblocks.
  std::vector<CoefficientBlock> v3(12, CoefficientBlock{});
  const int dcs[12] = {0, 1, -1, 1023, -1024, 2, 200, -200, 7, -8, 0, 5};
  for (size_t i = 0; i < 12; ++i) v3[i][0] = static_cast<int16_t>(dcs[i]);
  o.version = 3;
  const auto back3 = reference::decode_blocks(code_frame(v3, o), 32, 16);
  for (size_t i = 0; i < v3.size(); ++i) EXPECT_EQ(back3[i][0], v3[i][0]) << "block " << i;
}

TEST(MdecEncoder, RefusesVersionsAndScalesItCannotWrite) {
  const RgbFrame f = flat(16, 16, 1, 2, 3);
  EXPECT_THROW(encode_frame(f, {4, 8, ColourConvention::korvane}), Error);
  EXPECT_THROW(encode_frame(f, {2, 0, ColourConvention::korvane}), Error);
  EXPECT_THROW(encode_frame(f, {2, 64, ColourConvention::korvane}), Error);
  try {
    encode_frame(f, {2, 99, ColourConvention::korvane});
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("99"), std::string::npos);
  }
}
