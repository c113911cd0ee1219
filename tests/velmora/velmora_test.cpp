// velmora: the header patch kernel and the program end to end.
#include "velmora/rate_patch.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "base/byte_order.hpp"
#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

// A 2048-byte header with korvane's chunk identifiers and the picture size
// filled in and marker bytes everywhere else, so that stray writes show.
std::string header_of(uint32_t width, uint32_t height, size_t size = kAviHeaderBytes) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 1);
  auto* p = reinterpret_cast<uint8_t*>(bytes.data());
  if (size >= kAviHeaderBytes) {
    for (const auto& [offset, fourcc] : std::vector<std::pair<size_t, const char*>>{
             {0, "RIFF"}, {8, "AVI "}, {12, "LIST"}, {20, "hdrl"}, {24, "avih"},
             {88, "LIST"}, {96, "strl"}, {100, "strh"}, {108, "vids"}})
      bytes.replace(offset, 4, fourcc);
    put_le32(p + 28, 56);
    put_le32(p + 64, width);
    put_le32(p + 68, height);
  }
  return bytes;
}

uint32_t field(const std::string& bytes, size_t offset) {
  return get_le32(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

TEST(RatePatch, WritesTheThreeFieldsOnly) {
  // The scale and start of a picture stream as korvane writes it for a
  // whole rate with its sound not first (velmora rewrites those otherwise).
  std::string before = header_of(320, 240);
  put_le32(reinterpret_cast<uint8_t*>(before.data()) + 128, 1);
  put_le32(reinterpret_cast<uint8_t*>(before.data()) + 136, 0);
  std::string after = before;
  ASSERT_TRUE(patch_frame_rate(reinterpret_cast<uint8_t*>(after.data()), 10));
  EXPECT_EQ(field(after, 32), 100000u);
  EXPECT_EQ(field(after, 36), 2304000u);
  EXPECT_EQ(field(after, 132), 10u);
  for (size_t i = 0; i < kAviHeaderBytes; ++i) {
    const bool patched = (i >= 32 && i < 40) || (i >= 132 && i < 136);
    if (!patched) {
      ASSERT_EQ(after[i], before[i]) << i;
    }
  }
}

TEST(RatePatch, ListedRatesOnly) {
  EXPECT_EQ(microseconds_per_frame(30), 33333u);
  EXPECT_EQ(microseconds_per_frame(20), 50000u);
  EXPECT_EQ(microseconds_per_frame(15), 66666u);
  EXPECT_EQ(microseconds_per_frame(10), 100000u);
  std::string h = header_of(16, 16);
  const std::string before = h;
  for (int fps : {0, 25, 60, -30}) EXPECT_FALSE(patch_frame_rate(reinterpret_cast<uint8_t*>(h.data()), fps));
  EXPECT_EQ(h, before);
}

TEST(RatePatch, BytesPerSecondWrapsAt32Bits) {
  std::string h = header_of(0x10000, 0x10000);
  ASSERT_TRUE(patch_frame_rate(reinterpret_cast<uint8_t*>(h.data()), 30));
  EXPECT_EQ(field(h, 36), 0u);
}

TEST(RatePatch, RateArgumentIsAWholeNumber) {
  EXPECT_EQ(parse_rate_argument("15"), 15);
  EXPECT_EQ(parse_rate_argument("  +20"), 20);
  EXPECT_EQ(parse_rate_argument("-10"), -10);
  EXPECT_EQ(parse_rate_argument("fps"), 0);
  EXPECT_EQ(parse_rate_argument(""), 0);
  // Trailing text, and values that only wrap to a listed rate, are no rate.
  EXPECT_EQ(parse_rate_argument("  +20fps"), 0);
  EXPECT_EQ(parse_rate_argument("15abc"), 0);
  EXPECT_EQ(parse_rate_argument("4294967311"), 0);
  EXPECT_EQ(parse_rate_argument("2147483648"), 0);
}

class VelmoraRun : public testing::Test {
 protected:
  ProcessResult run(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {VELMORA_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.timeout_seconds = 60;
    return run_process(argv, options);
  }
  TempDir dir_;
};

TEST_F(VelmoraRun, UsageText) {
  const std::string usage = utf8_to_cp932(
      "velmora.exe  AVIfilename  fps\n"
      "fpsは30,20,15,10の内どれか.\n"
      "\n"
      "注意!!! これはkorvane.exeの出力ファイル専用です.\n"
      "他のファイルに使用するとデータが破壊されます.\n");
  for (const auto& args : {std::vector<std::string>{}, {"movie.avi"}}) {
    const ProcessResult r = run(args);
    EXPECT_EQ(r.out, usage);
    EXPECT_NE(r.status, 0);
  }
}

TEST_F(VelmoraRun, PatchesInPlaceAndTheSecondRateWins) {
  const std::string path = dir_.file("movie.avi");
  const std::string tail = "00db frame data that stays as it is";
  write_file(path, header_of(320, 240) + tail);
  ProcessResult r = run({path, "10", "ignored"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  r = run({path, "15"});
  EXPECT_EQ(r.status, 0);
  const std::string now = read_file(path);
  ASSERT_EQ(now.size(), kAviHeaderBytes + tail.size());
  EXPECT_EQ(field(now, 32), 66666u);
  EXPECT_EQ(field(now, 36), 320u * 240 * 15 * 3);
  EXPECT_EQ(field(now, 132), 15u);
  EXPECT_EQ(now.substr(kAviHeaderBytes), tail);
}

TEST_F(VelmoraRun, RefusalsLeaveTheFileUntouched) {
  const std::string path = dir_.file("movie.avi");
  const std::string original = header_of(320, 240);
  write_file(path, original);
  ProcessResult r = run({path, "25"});
  EXPECT_EQ(r.out, utf8_to_cp932("フレームレートが変.\n"));
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(read_file(path), original);

  const std::string short_file = header_of(0, 0, kAviHeaderBytes - 1);
  write_file(path, short_file);
  r = run({path, "30"});
  EXPECT_EQ(r.out, utf8_to_cp932("ファイルの読み込みに失敗しました.\n"));
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(read_file(path), short_file);
}

TEST_F(VelmoraRun, MissingFileIsErrorMinus3) {
  const std::string path = dir_.file("none.avi");
  const ProcessResult r = run({path, "30"});
  EXPECT_EQ(r.status, exit_status_of(-3));
  EXPECT_EQ(r.out, utf8_to_cp932("\nファイルが開けません.\n") + path + "\n");
  EXPECT_FALSE(file_exists(path));
}

// Files that are not korvane's AVIs are refused and left exactly as they
// were: a WAV and a BMP korvane wrote, an STR movie, a RIFF AVI of another
// layout. A rate with trailing text or one that only wraps is refused too,
// and a FIFO is not waited on.
TEST_F(VelmoraRun, OnlyKorvanesAvisArePatched) {
  const std::string wav = "RIFF" + std::string(4, '\x10') + "WAVEfmt " + std::string(2100, '\x01');
  const std::string bmp = "BM" + std::string(2100, '\x02');
  std::string str(2336 * 2, '\0');
  str[2] = 0x48;
  std::string other_avi = header_of(320, 240);
  other_avi.replace(24, 4, "odml");
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"w.wav", wav}, {"b.bmp", bmp}, {"m.str", str}, {"other.avi", other_avi}}) {
    SCOPED_TRACE(name);
    const std::string path = dir_.file(name);
    write_file(path, bytes);
    const ProcessResult r = run({path, "15"});
    EXPECT_EQ(r.status, exit_status_of(-4));
    EXPECT_EQ(r.out, utf8_to_cp932("korvaneのAVIファイルではありません.\n"));
    EXPECT_EQ(read_file(path), bytes);
  }
  const std::string path = dir_.file("movie.avi");
  const std::string original = header_of(320, 240);
  write_file(path, original);
  for (const char* rate : {"15abc", "4294967311", "15.0"}) {
    const ProcessResult r = run({path, rate});
    EXPECT_EQ(r.status, exit_status_of(-2)) << rate;
    EXPECT_EQ(r.out, utf8_to_cp932("フレームレートが変.\n")) << rate;
    EXPECT_EQ(read_file(path), original) << rate;
  }
  const std::string fifo = dir_.file("f");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const ProcessResult r = run({fifo, "15"});
  EXPECT_EQ(r.status, exit_status_of(-3));
  EXPECT_EQ(r.out, utf8_to_cp932("\nファイルが開けません.\n") + fifo + "\n");
}

}  // namespace
