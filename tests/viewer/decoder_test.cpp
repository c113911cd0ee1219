// The viewer decoders and dequantiser on hand-made bit strings: DC scaling
// of both versions, AC codes and escapes, the version-3 predictors, and
// every way a damaged stream must stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/mdec/mdec_tables.hpp"
#include "format/viewer/viewer_decoder.hpp"

namespace {

// Bits as text, packed into 16-bit little-endian words, first bit at the
// top of each word; padded with zeros to whole words.
std::vector<uint8_t> pack(std::string bits) {
  while (bits.size() % 16 != 0) bits += '0';
  std::vector<uint8_t> bytes;
  for (size_t w = 0; w < bits.size(); w += 16) {
    const uint16_t word = static_cast<uint16_t>(std::stoul(bits.substr(w, 16), nullptr, 2));
    bytes.push_back(static_cast<uint8_t>(word));
    bytes.push_back(static_cast<uint8_t>(word >> 8));
  }
  return bytes;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::string kEmptyV2Block = "0000000000" "10";  // DC 0, end of block

TEST(ViewerDecodeV2, DcIsScaledBy16) {
  const auto data = pack("0000000101" "10" "1111111111" "10" + repeat(kEmptyV2Block, 4));
  std::vector<int16_t> out(6 * 64, 7);
  ASSERT_EQ(viewer_decode_v2(data.data(), data.size(), 1, out.data()), DecodeStatus::kOk);
  EXPECT_EQ(out[0], 80);
  EXPECT_EQ(out[64], -16);
  for (int i = 1; i < 64; ++i) EXPECT_EQ(out[i], 0);  // cleared before decoding
}

TEST(ViewerDecodeV2, AcCodesEscapesAndRuns) {
  // +1 at scan 1, -1 at scan 3 (run 1), then an escape: run 2, level -512
  // at scan 6; escape run 0 level 0 stores 0 at scan 7; +1 at 8.
  const auto data = pack("0000000000" "110" "0111" "000001" "000010" "1000000000"
                         "000001" "000000" "0000000000" "110" "10" + repeat(kEmptyV2Block, 5));
  std::vector<int16_t> out(6 * 64);
  ASSERT_EQ(viewer_decode_v2(data.data(), data.size(), 1, out.data()), DecodeStatus::kOk);
  EXPECT_EQ(out[1], 1);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], -1);
  EXPECT_EQ(out[6], -512);
  EXPECT_EQ(out[7], 0);
  EXPECT_EQ(out[8], 1);
}

TEST(ViewerDecodeV2, LongCodesOfEveryLength) {
  // Every run/level code of the table, positive, one block each.
  std::string bits;
  for (const AcCode& code : kAcCodes) {
    bits += "0000000000";
    bits += code.bits;
    bits += "0";
    bits += "10";
  }
  const int blocks = kAcCodeCount + (6 - kAcCodeCount % 6) % 6;
  bits += repeat(kEmptyV2Block, blocks - kAcCodeCount);
  const auto data = pack(bits);
  std::vector<int16_t> out(blocks * 64);
  ASSERT_EQ(viewer_decode_v2(data.data(), data.size(), blocks / 6, out.data()),
            DecodeStatus::kOk);
  for (int i = 0; i < kAcCodeCount; ++i)
    EXPECT_EQ(out[i * 64 + 1 + kAcCodes[i].run], kAcCodes[i].level) << kAcCodes[i].bits;
}

TEST(ViewerDecodeV2, DamagedStreamsStop) {
  std::vector<int16_t> out(6 * 64);
  // Twelve zero bits cannot start an AC code.
  auto data = pack("0000000000" "000000000000" "1111111111111");
  EXPECT_EQ(viewer_decode_v2(data.data(), data.size(), 1, out.data()), DecodeStatus::kBadCode);
  // A run past position 63.
  data = pack("0000000000" "000001" "111111" "0000000001" "10" + repeat(kEmptyV2Block, 5));
  EXPECT_EQ(viewer_decode_v2(data.data(), data.size(), 1, out.data()),
            DecodeStatus::kRunPastBlock);
  // Codes that run out of data: a frame of six blocks given the bits of two.
  data = pack(repeat(kEmptyV2Block, 2));
  EXPECT_EQ(viewer_decode_v2(data.data(), 4, 1, out.data()), DecodeStatus::kPastEnd);
}

TEST(ViewerDecodeV3, SizeCodedDifferencesTimes64WithPredictors) {
  // Macroblock 1: chroma sizes 0 ("00") and 1 with value 1 ("01" "1"); luma
  // size 3 value 3 (-4), size 0 ("100"), size 3 value 4 (+4), size 11 value
  // 2047. Macroblock 2: all size 0, so every DC repeats its predictor.
  const std::string eob = "10";
  const std::string mb1 = "00" + eob + "01" "1" + eob + "101" "011" + eob + "100" + eob +
                          "101" "100" + eob + "111111111" "11111111111" + eob;
  const std::string mb2 = "00" + eob + "00" + eob + repeat("100" + eob, 4);
  const auto data = pack(mb1 + mb2);
  std::vector<int16_t> out(12 * 64);
  ASSERT_EQ(viewer_decode_v3(data.data(), data.size(), 2, out.data()), DecodeStatus::kOk);
  const int16_t luma_end = static_cast<int16_t>((-4 + 0 + 4 + 2047) * 64);
  const int16_t expected[12] = {0, 64, -256, -256, 0, luma_end, 0, 64, luma_end, luma_end, luma_end, luma_end};
  for (int b = 0; b < 12; ++b) EXPECT_EQ(out[b * 64], expected[b]) << "block " << b;
}

TEST(ViewerDequantise, MovesBackOneBlockIntoRowMajorOrder) {
  std::vector<int16_t> buffer(3 * 64, 0);
  int16_t* first = &buffer[64];  // the decoder's output starts one block in
  first[0] = -80;
  first[2] = 3;                  // scan 2 is row-major 8, table value 16
  first[63] = 1000;              // 1000 x 83 x 1 = 83000, low 16 bits 17464
  first[64] = 5;                 // second block's DC
  viewer_dequantise(buffer.data(), 2, 1);
  EXPECT_EQ(buffer[0], -80);
  EXPECT_EQ(buffer[8], 48);
  EXPECT_EQ(buffer[63], static_cast<int16_t>(83000));
  EXPECT_EQ(buffer[64], 5);
  for (int i = 1; i < 64; ++i)
    if (i != 8 && i != 63) {
      EXPECT_EQ(buffer[i], 0) << i;
    }

  // The quantisation scale multiplies as well.
  buffer.assign(2 * 64, 0);
  buffer[64 + 1] = -2;
  viewer_dequantise(buffer.data(), 1, 7);
  EXPECT_EQ(buffer[kZigzag[1]], -2 * kQuantTable[1] * 7);
}

}  // namespace
