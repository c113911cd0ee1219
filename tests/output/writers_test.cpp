// The BMP and AVI writers: header bytes, file sizes and offsets, the
// frame-rate table, row order, and the index of a movie whose frame size
// changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/byte_order.hpp"
#include "format/riff/avi_layout.hpp"
#include "format/riff/bmp_layout.hpp"
#include "io/avi_writer.hpp"
#include "io/bmp_writer.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

uint32_t le32(const std::string& s, size_t at) {
  return get_le32(reinterpret_cast<const uint8_t*>(s.data()) + at);
}

// A picture (kept bottom row first, as the conversion leaves it) whose
// pixels are (row from the top, column, 0x5A), so row order and byte order
// can be told apart.
std::vector<uint8_t> numbered_picture(uint32_t w, uint32_t h) {
  std::vector<uint8_t> p(w * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* pixel = &p[((h - 1 - y) * w + x) * 3];
      pixel[0] = static_cast<uint8_t>(y);
      pixel[1] = static_cast<uint8_t>(x);
      pixel[2] = 0x5A;
    }
  return p;
}

void set_frame(uint32_t w, uint32_t h, std::vector<uint8_t>& picture, int32_t frame) {
  movie.picture_width = w;
  movie.picture_height = h;
  movie.frame.picture = picture.data();
  movie.frame_counter = frame;
}

void set_output(const std::string& name) {
  std::strncpy(output_name, name.c_str(), kNameBufferSize - 1);
}

TEST(BmpWriter, HeaderLayout) {
  uint8_t h[kBmpHeaderBytes];
  build_bmp_header(320, 240, h);
  EXPECT_EQ(0, std::memcmp(h, "BM", 2));
  EXPECT_EQ(get_le32(h + 2), 230454u);
  EXPECT_EQ(get_le32(h + 6), 0u);
  EXPECT_EQ(get_le32(h + 10), 54u);
  EXPECT_EQ(get_le32(h + 14), 40u);
  EXPECT_EQ(get_le32(h + 18), 320u);
  EXPECT_EQ(get_le32(h + 22), 240u);
  EXPECT_EQ(get_le32(h + 26), 1u | (24u << 16));
  EXPECT_EQ(get_le32(h + 30), 0u);
  EXPECT_EQ(get_le32(h + 34), 230400u);
  EXPECT_EQ(get_le32(h + 38), 3780u);
  EXPECT_EQ(get_le32(h + 42), 3780u);
  EXPECT_EQ(get_le32(h + 46), 0u);
  EXPECT_EQ(get_le32(h + 50), 0u);
}

TEST(BmpWriter, NumberedFileBottomRowFirst) {
  TempDir dir;
  std::vector<uint8_t> picture = numbered_picture(16, 16);
  set_frame(16, 16, picture, 123);
  set_output(dir.file("out"));
  write_bmp_frame();
  const std::string bmp = read_file(dir.file("out00000123.BMP"));
  ASSERT_EQ(bmp.size(), 822u);
  // The first row stored is the bottom one, the last 48 bytes the top row.
  EXPECT_EQ(static_cast<uint8_t>(bmp[54]), 15);
  for (int i = 0; i < 48; i += 3) EXPECT_EQ(bmp[822 - 48 + i], 0) << i;  // top row: row number 0
  EXPECT_EQ(bmp[54 + 3 + 1], 1);     // second pixel: column 1
  EXPECT_EQ(bmp[54 + 2], 0x5A);      // bytes unchanged: p2 is the third
}

TEST(BmpWriter, UncreatableFileIsErrorThree) {
  TempDir dir;
  std::vector<uint8_t> picture = numbered_picture(16, 16);
  set_frame(16, 16, picture, 1);
  set_output(dir.file("no/such/dir/out"));
  EXPECT_EXIT(write_bmp_frame(), testing::ExitedWithCode(exit_status_of(-3)), "");
}

TEST(AviLayout, FrameRateTable) {
  const uint32_t chunks[] = {0, 5, 6, 8, 9, 10, 11, 15, 16, 0x80000000u};
  const uint32_t rates[] = {30, 30, 20, 20, 15, 15, 10, 10, 0, 0};
  const uint32_t micro[] = {33333, 33333, 50000, 50000, 66666, 66666, 100000, 100000, 0, 0};
  for (size_t i = 0; i < std::size(chunks); ++i) {
    EXPECT_EQ(table_frame_rate(RateTable::conversion, chunks[i]).rate, rates[i]) << chunks[i];
    EXPECT_EQ(frame_microseconds(table_frame_rate(RateTable::conversion, chunks[i])), micro[i]) << chunks[i];
  }
}

TEST(AviLayout, ProvisionalHeaderConstants) {
  uint8_t h[kAviHeaderBytes];
  build_provisional_avi_header(h);
  auto id = [&](int at) { return std::string(reinterpret_cast<char*>(h + at), 4); };
  EXPECT_EQ(id(0), "RIFF");
  EXPECT_EQ(get_le32(h + 4), 0u);
  EXPECT_EQ(id(8), "AVI ");
  EXPECT_EQ(id(12), "LIST");
  EXPECT_EQ(get_le32(h + 16), 200u);
  EXPECT_EQ(id(20), "hdrl");
  EXPECT_EQ(id(24), "avih");
  EXPECT_EQ(get_le32(h + 28), 56u);
  EXPECT_EQ(get_le32(h + 44), 0x10u);
  EXPECT_EQ(get_le32(h + 56), 1u);
  EXPECT_EQ(id(88), "LIST");
  EXPECT_EQ(get_le32(h + 92), 124u);
  EXPECT_EQ(id(96), "strl");
  EXPECT_EQ(id(100), "strh");
  EXPECT_EQ(get_le32(h + 104), 64u);
  EXPECT_EQ(id(108), "vids");
  EXPECT_EQ(id(112), "DIB ");
  EXPECT_EQ(get_le32(h + 128), 1u);
  EXPECT_EQ(id(172), "strf");
  EXPECT_EQ(get_le32(h + 176), 40u);
  EXPECT_EQ(get_le32(h + 180), 40u);
  EXPECT_EQ(get_le16(h + 192), 1u);
  EXPECT_EQ(get_le16(h + 194), 24u);
  EXPECT_EQ(id(220), "JUNK");
  EXPECT_EQ(get_le32(h + 224), 1808u);
  EXPECT_EQ(id(2036), "LIST");
  EXPECT_EQ(get_le32(h + 2040), 0u);
  EXPECT_EQ(id(2044), "movi");
  // Everything else is zero.
  const int nonzero_fields[] = {0, 8, 12, 16, 20, 24, 28, 44, 56, 88, 92, 96, 100, 104, 108, 112,
                                128, 172, 176, 180, 192, 220, 224, 2036, 2044};
  for (int at = 0; at < kAviHeaderBytes; at += 4) {
    if (std::find(std::begin(nonzero_fields), std::end(nonzero_fields), at) != std::end(nonzero_fields))
      continue;
    EXPECT_EQ(get_le32(h + at), 0u) << "offset " << at;
  }
}

std::string write_movie(const std::string& path, const std::vector<std::pair<uint32_t, uint32_t>>& sizes,
                        int32_t max_chunks) {
  set_output(path);
  movie.max_chunks = max_chunks;
  open_avi();
  std::vector<std::vector<uint8_t>> pictures;
  int32_t frame = 1;
  for (auto [w, h] : sizes) {
    pictures.push_back(numbered_picture(w, h));
    set_frame(w, h, pictures.back(), frame++);
    write_avi_frame();
  }
  if (sizes.empty()) {
    movie.picture_width = 320;
    movie.picture_height = 240;
  }
  finish_avi();
  return read_file(path);
}

TEST(AviWriter, ThreeFramesOf320x240) {
  TempDir dir;
  const std::string avi = write_movie(dir.file("a.avi"), {{320, 240}, {320, 240}, {320, 240}}, 10);
  ASSERT_EQ(avi.size(), 2048u + 3 * 230408u + 8 + 48);
  EXPECT_EQ(le32(avi, 4), avi.size() - 8);
  EXPECT_EQ(le32(avi, 2040), 691228u);
  EXPECT_EQ(le32(avi, 32), 66666u);
  EXPECT_EQ(le32(avi, 36), 230400u * 15);
  EXPECT_EQ(le32(avi, 48), 3u);
  EXPECT_EQ(le32(avi, 60), 230400u);
  EXPECT_EQ(le32(avi, 64), 320u);
  EXPECT_EQ(le32(avi, 68), 240u);
  EXPECT_EQ(le32(avi, 132), 15u);
  EXPECT_EQ(le32(avi, 140), 3u);
  EXPECT_EQ(le32(avi, 144), 230400u);
  EXPECT_EQ(le32(avi, 164), 320u);
  EXPECT_EQ(le32(avi, 168), 240u);
  EXPECT_EQ(le32(avi, 184), 320u);
  EXPECT_EQ(le32(avi, 188), 240u);
  EXPECT_EQ(le32(avi, 200), 230400u);
  // Frame chunks: bottom row first.
  EXPECT_EQ(avi.substr(2048, 4), "00db");
  EXPECT_EQ(le32(avi, 2052), 230400u);
  EXPECT_EQ(static_cast<uint8_t>(avi[2056]), 239);
  EXPECT_EQ(static_cast<uint8_t>(avi[2056 + 230400 - 960]), 0);
  // Index.
  const size_t index = 2048 + 3 * 230408;
  EXPECT_EQ(avi.substr(index, 4), "idx1");
  EXPECT_EQ(le32(avi, index + 4), 48u);
  const uint32_t offsets[] = {4, 230412, 460820};
  for (int i = 0; i < 3; ++i) {
    const size_t e = index + 8 + i * 16;
    EXPECT_EQ(avi.substr(e, 4), "00db");
    EXPECT_EQ(le32(avi, e + 4), 8u);
    EXPECT_EQ(le32(avi, e + 8), offsets[i]);
    EXPECT_EQ(le32(avi, e + 12), 230400u);
    // Each offset, counted from the "movi" type, lands on a chunk identifier.
    EXPECT_EQ(avi.substr(2044 + offsets[i], 4), "00db");
  }
}

TEST(AviWriter, NoFrames) {
  TempDir dir;
  const std::string avi = write_movie(dir.file("empty.avi"), {}, 0);
  ASSERT_EQ(avi.size(), 2048u + 8);
  EXPECT_EQ(le32(avi, 2040), 4u);
  EXPECT_EQ(le32(avi, 2048 + 4), 0u);
  EXPECT_EQ(le32(avi, 48), 0u);
  EXPECT_EQ(le32(avi, 132), 30u);
  EXPECT_EQ(le32(avi, 4), avi.size() - 8);
}

TEST(AviWriter, SixteenChunksLeaveTheRateToVelmora) {
  TempDir dir;
  testing::internal::CaptureStdout();
  const std::string avi = write_movie(dir.file("slow.avi"), {{16, 16}}, 16);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("velmora.exe"), std::string::npos);
  EXPECT_EQ(le32(avi, 32), 0u);
  EXPECT_EQ(le32(avi, 36), 0u);
  EXPECT_EQ(le32(avi, 132), 0u);
  EXPECT_EQ(le32(avi, 48), 1u);  // otherwise complete
  EXPECT_EQ(le32(avi, 4), avi.size() - 8);
}

TEST(AviWriter, ChangingFrameSizeIndexesRealChunks) {
  TempDir dir;
  const std::string avi = write_movie(dir.file("mixed.avi"), {{32, 16}, {16, 16}, {16, 16}, {48, 32}}, 5);
  const uint32_t sizes[] = {32 * 16 * 3, 16 * 16 * 3, 16 * 16 * 3, 48 * 32 * 3};
  uint32_t offset = 4;
  size_t movi_end = 2048;
  for (uint32_t s : sizes) movi_end += 8 + s;
  EXPECT_EQ(le32(avi, 2040), movi_end - 2044);
  for (int i = 0; i < 4; ++i) {
    const size_t e = movi_end + 8 + i * 16;
    EXPECT_EQ(le32(avi, e + 8), offset) << i;
    EXPECT_EQ(le32(avi, e + 12), sizes[i]) << i;
    EXPECT_EQ(avi.substr(2044 + offset, 4), "00db");
    EXPECT_EQ(le32(avi, 2044 + offset + 4), sizes[i]);
    offset += 8 + sizes[i];
  }
  // The header describes the last frame.
  EXPECT_EQ(le32(avi, 64), 48u);
  EXPECT_EQ(le32(avi, 68), 32u);
  EXPECT_EQ(avi.size(), movi_end + 8 + 64);
}

TEST(AviLayout, RiffSizesMustFitThirtyTwoBits) {
  EXPECT_TRUE(avi_length_fits(8));
  EXPECT_TRUE(avi_length_fits(0xFFFFFFFFull + 8));
  EXPECT_FALSE(avi_length_fits(0xFFFFFFFFull + 9));
}

}  // namespace
