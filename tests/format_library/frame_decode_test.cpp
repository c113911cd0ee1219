// The frame decoder as a program outside korvane uses it: a frame made here
// bit by bit, decoded to a picture with each routine table.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "format/mdec/frame_decode.hpp"

namespace {

// Bits into 16-bit little-endian words, most significant bit first, after
// the 8-byte frame header.
class FrameWriter {
 public:
  FrameWriter() : bytes_(8, 0) {}
  void put(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      if (used_ % 16 == 0) bytes_.insert(bytes_.end(), {0, 0});
      const size_t word = bytes_.size() - 2;
      const int bit = 15 - used_ % 16;
      if ((value >> i) & 1) bytes_[word + (bit >= 8 ? 1 : 0)] |= static_cast<uint8_t>(1 << (bit % 8));
      ++used_;
    }
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int used_ = 0;
};

constexpr int kDcBits = 10;            // version 2: a plain 10-bit DC a block
constexpr uint32_t kEndOfBlock = 0b10;
constexpr int kEndOfBlockBits = 2;

// One 16x16 macroblock of version 2: chroma DC 0, luminance DC `luma`.
std::vector<uint8_t> one_macroblock(int luma) {
  FrameWriter w;
  for (int block = 0; block < 6; ++block) {
    const int dc = block < 2 ? 0 : luma;
    w.put(static_cast<uint32_t>(dc) & ((1u << kDcBits) - 1), kDcBits);
    w.put(kEndOfBlock, kEndOfBlockBits);
  }
  return w.bytes();
}

FrameParameters sixteen_square() {
  FrameParameters p;
  p.width = 16;
  p.height = 16;
  p.version = 2;
  p.quant_scale = 1;
  return p;
}

}  // namespace

TEST(FormatLibrary, DecodesAFrameToItsPictureWithEveryRoutineTable) {
  const FrameParameters p = sixteen_square();
  for (SimdLevel level : {SimdLevel::None, SimdLevel::Sse2}) {
    const std::vector<uint8_t> grey = one_macroblock(0);
    std::vector<int16_t> scratch(frame_coefficient_count(p));
    std::vector<uint8_t> picture(16 * 16 * 3, 0);
    ASSERT_EQ(decode_frame_rgb(p, routines_for_level(level), grey.data(), grey.size(),
                               picture.data(), 16 * 3, scratch.data()),
              FrameStatus::kOk);
    for (uint8_t v : picture) ASSERT_EQ(v, 128);  // level 0 is mid-grey

    const std::vector<uint8_t> bright = one_macroblock(100);
    ASSERT_EQ(decode_frame_rgb(p, routines_for_level(level), bright.data(), bright.size(),
                               picture.data(), 16 * 3, scratch.data()),
              FrameStatus::kOk);
    for (uint8_t v : picture) ASSERT_GT(v, 128);
    for (uint8_t v : picture) ASSERT_EQ(v, picture[0]);  // no chroma: a flat grey
  }
}

TEST(FormatLibrary, ABitstreamCutShortIsReportedAndLeavesThePicture) {
  const FrameParameters p = sixteen_square();
  std::vector<uint8_t> frame = one_macroblock(100);
  frame.resize(frame.size() - 4);
  std::vector<int16_t> scratch(frame_coefficient_count(p));
  std::vector<uint8_t> picture(16 * 16 * 3, 7);
  EXPECT_EQ(decode_frame_rgb(p, routines_for_level(SimdLevel::None), frame.data(), frame.size(),
                             picture.data(), 16 * 3, scratch.data()),
            FrameStatus::kBadBitstream);
  for (uint8_t v : picture) ASSERT_EQ(v, 7);
}
