// The 44 header bytes of the WAV files, field by field.
#include "format/riff/wav_header.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "base/byte_order.hpp"

namespace {

TEST(WavHeader, StereoFullRate) {
  uint8_t h[kWavHeaderBytes];
  const uint32_t length = kWavHeaderBytes + 3 * 8064;
  build_wav_header(h, length, 2, 37800);
  EXPECT_EQ(std::memcmp(h, "RIFF", 4), 0);
  EXPECT_EQ(get_le32(h + 4), length - 8);
  EXPECT_EQ(std::memcmp(h + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(get_le32(h + 16), 16u);
  EXPECT_EQ(get_le16(h + 20), 1);
  EXPECT_EQ(get_le16(h + 22), 2);
  EXPECT_EQ(get_le32(h + 24), 37800u);
  EXPECT_EQ(get_le32(h + 28), 151200u);
  EXPECT_EQ(get_le16(h + 32), 4);
  EXPECT_EQ(get_le16(h + 34), 16);
  EXPECT_EQ(std::memcmp(h + 36, "data", 4), 0);
  EXPECT_EQ(get_le32(h + 40), 3u * 8064);
}

TEST(WavHeader, MonoHalfRate) {
  uint8_t h[kWavHeaderBytes];
  build_wav_header(h, kWavHeaderBytes + 8064, 1, 18900);
  EXPECT_EQ(get_le16(h + 22), 1);
  EXPECT_EQ(get_le32(h + 24), 18900u);
  EXPECT_EQ(get_le32(h + 28), 37800u);
  EXPECT_EQ(get_le16(h + 32), 2);
  EXPECT_EQ(get_le32(h + 40), 8064u);
}

TEST(WavHeader, HeaderAloneBeforeAnyStream) {
  // No stream converted yet in the run: the counts are still 0.
  uint8_t h[kWavHeaderBytes];
  build_wav_header(h, kWavHeaderBytes, 0, 0);
  EXPECT_EQ(get_le32(h + 4), 36u);
  EXPECT_EQ(get_le16(h + 22), 0);
  EXPECT_EQ(get_le32(h + 28), 0u);
  EXPECT_EQ(get_le16(h + 32), 2);
  EXPECT_EQ(get_le32(h + 40), 0u);
}

// A WAV whose RIFF size no longer fits 32 bits is refused rather than
// written with a wrapped header: 533,000 sectors of sound do not fit,
// 532,609 do.
TEST(WavHeader, LengthsBeyondWhatTheSizesCarryDoNotFit) {
  constexpr uint64_t kSectorBytes = 8064;
  EXPECT_TRUE(wav_length_fits(kWavHeaderBytes));
  EXPECT_TRUE(wav_length_fits(0xFFFFFFFFull + 8));
  EXPECT_FALSE(wav_length_fits(0xFFFFFFFFull + 9));
  EXPECT_TRUE(wav_length_fits(kWavHeaderBytes + 532609 * kSectorBytes));
  EXPECT_FALSE(wav_length_fits(kWavHeaderBytes + 533000 * kSectorBytes));
}

}  // namespace
