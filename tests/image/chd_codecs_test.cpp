// CHD files written field by field (chdman cannot write cdzs): a plain map
// without codecs, cdzl and cdzs hunks under a compressed map with
// uncompressed hunks and copies among them; each converts as the plain image
// does. A stored hunk whose bytes no longer match its checksum ends the run
// with -4 and the CHD's name, at the frame that needs it, whether or not the
// hunks after the one being read are decompressed ahead; in a scan, after
// every file and line before it, whether or not sound is written beside it.
#include <gtest/gtest.h>

#include <zstd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/errors.hpp"
#include "tests/support/chd_writer.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifdef MKDISC_EXE
#include "tools/mkdisc/description.hpp"

namespace {

constexpr char kDescription[] =
    "output image\n"
    "file MOVIE/A.STR\n"
    "movie width=64 height=48 frames=6 sectors-per-frame=10\n"
    "file PAD.BIN\n"
    "data size=40000\n";
// Long enough that the read-ahead reaches a damaged hunk well before the reader does.
constexpr char kLongDescription[] =
    "output image\n"
    "file MOVIE/A.STR\n"
    "movie width=64 height=48 frames=14 sectors-per-frame=10\n";
constexpr size_t kDamagedMovieSector = 100;  // in frame 11 of 14
constexpr size_t kRawBytes = 2352;
constexpr int kZstdLevel = 3;
constexpr size_t kVolumeSector = 16;  // read first by every conversion; in an uncompressed hunk

std::vector<uint8_t> zstd_pack(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out(ZSTD_compressBound(size));
  out.resize(ZSTD_compress(out.data(), out.size(), data, size, kZstdLevel));
  return out;
}

class ChdCodecs : public ::testing::Test {
 protected:
  void SetUp() override {
    const mkdisc::BuiltDisc disc = mkdisc::build_from_description(kDescription);
    mkdisc::write_sector_file(dir_.file("disc.img"), disc.sectors, mkdisc::SectorForm::form2336);
    raw_ = mkdisc::sector_bytes(disc.sectors, mkdisc::SectorForm::raw2352);
  }

  ProcessResult convert(const std::string& image, const std::string& out) {
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.unset_env = {"KORVANE_PATH"};
    return run_process({KORVANE_EXE, "-path:" + dir_.path(), "-image:" + image, "\\MOVIE\\A.STR", out}, options);
  }

  std::string write_chd(const std::string& name, const ChdCodec& codec) {
    const std::vector<uint8_t> bytes = write_test_chd(raw_, codec);
    write_file(dir_.file(name), std::string(bytes.begin(), bytes.end()));
    return dir_.file(name);
  }

  TempDir dir_;
  std::vector<uint8_t> raw_;
};

TEST_F(ChdCodecs, EveryStoreConvertsAsThePlainImage) {
  ASSERT_EQ(convert(dir_.file("disc.img"), "plain.avi").status, 0);
  const std::string plain = read_file(dir_.file("plain.avi"));
  const std::pair<const char*, ChdCodec> chds[] = {
      {"none.chd", ChdCodec{}},
      {"cdzl.chd", ChdCodec{"cdzl", stored_deflate}},
      {"cdzs.chd", ChdCodec{"cdzs", zstd_pack}},
  };
  for (const auto& [name, codec] : chds) {
    const ProcessResult r = convert(write_chd(name, codec), std::string(name) + ".avi");
    EXPECT_EQ(r.status, 0) << name << r.out << r.err;
    EXPECT_EQ(read_file(dir_.file(std::string(name) + ".avi")), plain) << name;
  }
}

TEST_F(ChdCodecs, AHunkThatFailsItsChecksumIsAReadError) {
  std::string chd = read_file(write_chd("crc.chd", ChdCodec{"cdzs", zstd_pack}));
  // The volume descriptor's sector lies verbatim in an uncompressed hunk.
  const std::string sector(reinterpret_cast<const char*>(raw_.data()) + kVolumeSector * 2352, 2352);
  const size_t at = chd.find(sector);
  ASSERT_NE(at, std::string::npos);
  chd[at + 2000] = static_cast<char>(chd[at + 2000] ^ 1);
  write_file(dir_.file("crc.chd"), chd);
  const ProcessResult r = convert(dir_.file("crc.chd"), "crc.avi");
  EXPECT_EQ(r.status, exit_status_of(kErrRead)) << r.out << r.err;
  EXPECT_NE(r.out.find(dir_.file("crc.chd")), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("checksum"), std::string::npos) << r.err;
}

TEST_F(ChdCodecs, ALateDamagedHunkEndsTheRunAtTheSameFrameWithOrWithoutReadAhead) {
  const mkdisc::BuiltDisc disc = mkdisc::build_from_description(kLongDescription);
  const std::vector<uint8_t> raw = mkdisc::sector_bytes(disc.sectors, mkdisc::SectorForm::raw2352);
  const std::vector<uint8_t> packed = write_test_chd(raw, ChdCodec{"cdzs", zstd_pack});
  std::string chd(packed.begin(), packed.end());
  // Damage the first movie sector from kDamagedMovieSector on that lies
  // verbatim in an uncompressed hunk.
  size_t at = std::string::npos;
  const mkdisc::Extent& movie = disc.files.at(0).extent;
  for (size_t s = movie.first_sector + kDamagedMovieSector; s < movie.first_sector + movie.sector_count; ++s) {
    at = chd.find(std::string(reinterpret_cast<const char*>(raw.data()) + s * kRawBytes, kRawBytes));
    if (at != std::string::npos) break;
  }
  ASSERT_NE(at, std::string::npos);
  chd[at + 1000] = static_cast<char>(chd[at + 1000] ^ 1);
  write_file(dir_.file("late.chd"), chd);

  struct Outcome {
    ProcessResult result;
    std::string avi;
  };
  const auto convert_with = [&](const char* threads) {
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.env = {{"KORVANE_THREADS", threads}};
    options.unset_env = {"KORVANE_PATH"};
    const std::string out = "late.avi";
    std::remove(dir_.file(out).c_str());
    Outcome o;
    o.result = run_process(
        {KORVANE_EXE, "-path:" + dir_.path(), "-image:" + dir_.file("late.chd"), "\\MOVIE\\A.STR", out}, options);
    o.avi = read_file(dir_.file(out));
    return o;
  };
  const Outcome alone = convert_with("1");
  const Outcome ahead = convert_with("2");
  EXPECT_EQ(alone.result.status, exit_status_of(kErrRead)) << alone.result.out << alone.result.err;
  EXPECT_NE(alone.result.err.find("checksum"), std::string::npos) << alone.result.err;
  EXPECT_NE(alone.result.out.find("frame = 10)"), std::string::npos) << alone.result.out;
  EXPECT_EQ(ahead.result.status, alone.result.status);
  EXPECT_EQ(ahead.result.out, alone.result.out);
  EXPECT_EQ(ahead.result.err, alone.result.err);
  EXPECT_EQ(ahead.avi, alone.avi);
}

TEST_F(ChdCodecs, AScanReadingADamagedHunkEndsAfterTheSoundBeforeItWithOneThreadOrMore) {
  // Sound files one after another; a hunk of the last one is damaged. The
  // audio pass (the movie pass would meet the damage first) reads on while the sound found before is decoded and written beside
  // it; when the read fails, every file and line before it is written first.
  constexpr char kSoundDisc[] =
      "output image\n"
      "file XA/A.XA\n"
      "audio sectors=60 sound=melody\n"
      "file XA/B.XA\n"
      "audio sectors=60 stereo=no rate=18900\n"
      "file XA/C.XA\n"
      "audio sectors=200 sound=melody\n";
  const mkdisc::BuiltDisc disc = mkdisc::build_from_description(kSoundDisc);
  const std::vector<uint8_t> raw = mkdisc::sector_bytes(disc.sectors, mkdisc::SectorForm::raw2352);
  std::string chd = [&] {
    const std::vector<uint8_t> packed = write_test_chd(raw, ChdCodec{"cdzs", zstd_pack});
    return std::string(packed.begin(), packed.end());
  }();
  const mkdisc::Extent& last = disc.files.at(2).extent;
  size_t at = std::string::npos;
  for (size_t s = last.first_sector + 100; s < last.first_sector + last.sector_count && at == std::string::npos; ++s)
    at = chd.find(std::string(reinterpret_cast<const char*>(raw.data()) + s * kRawBytes, kRawBytes));
  ASSERT_NE(at, std::string::npos);
  chd[at + 1000] = static_cast<char>(chd[at + 1000] ^ 1);
  write_file(dir_.file("sound.chd"), chd);

  struct Outcome {
    ProcessResult result;
    std::vector<std::string> files;  // the report, then the WAV files
  };
  const auto scan_with = [&](const char* threads) {
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.env = {{"KORVANE_THREADS", threads}};
    options.unset_env = {"KORVANE_PATH"};
    const std::string base = std::string("t") + threads;
    Outcome o;
    o.result = run_process({KORVANE_EXE, "-path:" + dir_.path(), "-image:" + dir_.file("sound.chd"), "-disc-all", "-skip-movie",
                            base},
                           options);
    o.files.push_back(read_file(dir_.file(base + ".txt")));
    for (int n = 1000; n < 1003; ++n) o.files.push_back(read_file(dir_.file(base + std::to_string(n) + ".wav")));
    return o;
  };
  const Outcome alone = scan_with("1");
  const Outcome beside = scan_with("2");
  EXPECT_EQ(alone.result.status, exit_status_of(kErrRead)) << alone.result.out << alone.result.err;
  // The first two files are whole, the third holds what came before the damage.
  EXPECT_GT(alone.files[2].size(), 44u + 59u * 4032u);
  EXPECT_GT(alone.files[3].size(), 44u);
  EXPECT_EQ(beside.result.status, alone.result.status);
  EXPECT_EQ(beside.result.err, alone.result.err);
  // The same files and text, but for the names given on the command line.
  const auto as_one_thread = [](std::string text) {
    for (size_t p = text.find("t2"); p != std::string::npos; p = text.find("t2", p)) text.replace(p, 2, "t1");
    return text;
  };
  ASSERT_EQ(beside.files.size(), alone.files.size());
  EXPECT_EQ(as_one_thread(beside.files[0]), alone.files[0]);
  for (size_t i = 1; i < alone.files.size(); ++i) EXPECT_TRUE(beside.files[i] == alone.files[i]) << "file " << i;
  EXPECT_EQ(as_one_thread(beside.result.out), alone.result.out);
}

}  // namespace
#endif  // MKDISC_EXE
