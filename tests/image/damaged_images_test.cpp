// Damaged CUE sheets and CHD files end the run with -3 or -4 and the name
// of the file at fault, never with a crash: a missing or short BIN, a sheet
// that does not parse, a CHD with bad magic, an unknown codec, a parent, a
// map pointing outside the file, a hunk whose bytes or checksum are wrong,
// a track list that does not fit; a file named .chd or .cue that is not one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/errors.hpp"
#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifdef MKDISC_EXE
#include "tools/mkdisc/cue_disc.hpp"
#include "tools/mkdisc/description.hpp"
#include "tools/mkdisc/pcm.hpp"

namespace {

namespace fs = std::filesystem;

constexpr char kDescription[] =
    "output image\n"
    "file MOVIE/A.STR\n"
    "movie width=64 height=48 frames=8 sectors-per-frame=10\n"
    "file DATA/FILL.BIN\n"
    "data size=4000000\n";

// CHD version 5 header fields.
constexpr size_t kCodec1At = 20;
constexpr size_t kMapOffsetAt = 40;
constexpr size_t kParentSha1At = 104;
constexpr size_t kFirstHunkSearch = 1024;  // past the header and the track metadata
constexpr size_t kDamageStride = 7;

class DamagedImages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const mkdisc::BuiltDisc disc = mkdisc::build_from_description(kDescription);
    const std::vector<int16_t> music = mkdisc::make_pcm(mkdisc::Sound::sweep, 44100, true, 44100);
    mkdisc::write_cue_disc(dir_->file("one.cue"), disc.sectors, music, mkdisc::CueFiles::one_bin);
    mkdisc::write_cue_disc(dir_->file("split.cue"), disc.sectors, music, mkdisc::CueFiles::bin_per_track);
    chdman_ = find_on_path("chdman");
    if (chdman_.empty()) return;
    ASSERT_EQ(run_process({chdman_, "createcd", "-i", dir_->file("split.cue"), "-o", dir_->file("good.chd"), "-f"})
                  .status,
              0);
    ASSERT_EQ(run_process({chdman_, "verify", "-i", dir_->file("good.chd")}).status, 0);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // Runs a conversion from the image; returns the result.
  ProcessResult convert(const std::string& image) {
    ProcessOptions options;
    options.working_directory = dir_->path();
    options.unset_env = {"KORVANE_PATH"};
    return run_process({KORVANE_EXE, "-path:" + dir_->path(), "-image:" + image, "-avi", "\\MOVIE\\A.STR", "out.avi"},
                       options);
  }

  void expect_refused(const std::string& image, int code, const std::string& name_at_fault) {
    const ProcessResult r = convert(image);
    EXPECT_EQ(r.status, exit_status_of(code)) << image << "\n" << r.out << r.err;
    EXPECT_NE(r.out.find(name_at_fault), std::string::npos) << image << "\n" << r.out;
    EXPECT_EQ(r.signal, 0);
  }

  // good.chd with some bytes replaced, written under a new name.
  std::string patched_chd(const std::string& name, size_t at, const std::string& bytes) {
    std::string chd = read_file(dir_->file("good.chd"));
    chd.replace(at, bytes.size(), bytes);
    write_file(dir_->file(name), chd);
    return dir_->file(name);
  }

  static TempDir* dir_;
  static std::string chdman_;
};

TempDir* DamagedImages::dir_ = nullptr;
std::string DamagedImages::chdman_;

TEST_F(DamagedImages, CueSheets) {
  const std::string data_bin = dir_->file("split (Track 1).bin");
  // A BIN the sheet names that is not there.
  write_file(dir_->file("missing.cue"), "FILE \"nowhere.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n");
  expect_refused(dir_->file("missing.cue"), kErrOpen, dir_->file("nowhere.bin"));
  // A BIN shorter than the sheet says: the audio track starts beyond its end.
  const std::string one = read_file(dir_->file("one.bin"));
  write_file(dir_->file("short.bin"), one.substr(0, 1000 * 2352));
  std::string sheet = read_file(dir_->file("one.cue"));
  sheet.replace(sheet.find("one.bin"), 7, "short.bin");
  write_file(dir_->file("short.cue"), sheet);
  expect_refused(dir_->file("short.cue"), kErrOpen, dir_->file("short.bin"));
  // A sheet that does not parse.
  write_file(dir_->file("bad.cue"), "FILE \"one.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:99:00\n");
  expect_refused(dir_->file("bad.cue"), kErrOpen, dir_->file("bad.cue"));
  // A sheet with audio only has no data track.
  write_file(dir_->file("audio.cue"), "FILE \"one.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  expect_refused(dir_->file("audio.cue"), kErrOpen, dir_->file("audio.cue"));
  // Named .cue but holding sectors.
  write_file(dir_->file("sectors.cue"), one.substr(16, 4 * 2352));
  expect_refused(dir_->file("sectors.cue"), kErrOpen, dir_->file("sectors.cue"));
}

TEST_F(DamagedImages, CueSheetNamesMatchTheDiskIgnoringCase) {
  std::string sheet = read_file(dir_->file("split.cue"));
  sheet.replace(sheet.find("split (Track 1).bin"), 19, "SPLIT (TRACK 1).BIN");
  write_file(dir_->file("upper.cue"), sheet);
  EXPECT_EQ(convert(dir_->file("upper.cue")).status, 0);
}

TEST_F(DamagedImages, ChdFiles) {
  if (chdman_.empty()) GTEST_SKIP() << "chdman (Debian mame-tools) is not installed";
  const std::string good = read_file(dir_->file("good.chd"));
  ASSERT_EQ(convert(dir_->file("good.chd")).status, 0);
  // Bad magic in a file named .chd.
  expect_refused(patched_chd("magic.chd", 0, "MComprXX"), kErrOpen, dir_->file("magic.chd"));
  // A codec this reader does not know.
  expect_refused(patched_chd("codec.chd", kCodec1At, "abcd"), kErrOpen, dir_->file("codec.chd"));
  // A parent CHD is needed.
  const ProcessResult parent = convert(patched_chd("parent.chd", kParentSha1At, "\x01"));
  EXPECT_EQ(parent.status, exit_status_of(kErrOpen));
  EXPECT_NE(parent.out.find(dir_->file("parent.chd")), std::string::npos);
  EXPECT_NE(parent.err.find("parent"), std::string::npos) << parent.err;
  // The map outside the file.
  expect_refused(patched_chd("map.chd", kMapOffsetAt, std::string("\x7f\0\0\0", 4)), kErrOpen,
                 dir_->file("map.chd"));
  // Cut short: the map or the hunks lie beyond the end.
  write_file(dir_->file("cut.chd"), good.substr(0, good.size() / 2));
  expect_refused(dir_->file("cut.chd"), kErrOpen, dir_->file("cut.chd"));
  // Hunks whose bytes are damaged: every byte between the metadata and the
  // map (chdman writes the map last).
  std::string hunk = good;
  size_t map_at = 0;
  for (size_t i = 0; i < 8; ++i) map_at = map_at << 8 | static_cast<uint8_t>(good[kMapOffsetAt + i]);
  ASSERT_LT(map_at, good.size());
  for (size_t i = kFirstHunkSearch; i < map_at; i += kDamageStride) hunk[i] = static_cast<char>(hunk[i] ^ 0x5A);
  write_file(dir_->file("hunk.chd"), hunk);
  expect_refused(dir_->file("hunk.chd"), kErrRead, dir_->file("hunk.chd"));
  // A track list that does not fit the CHD's frames.
  std::string tracks = good;
  const size_t frames = tracks.find("FRAMES:");
  ASSERT_NE(frames, std::string::npos);
  tracks.replace(frames + 7, 1, "9");
  write_file(dir_->file("tracks.chd"), tracks);
  expect_refused(dir_->file("tracks.chd"), kErrOpen, dir_->file("tracks.chd"));
}

}  // namespace
#endif  // MKDISC_EXE
