// Descriptions: what they build, determinism, lanes, and refusals that name
// the value at fault; the command's exit codes and messages.
#include <gtest/gtest.h>

#include "format/disc/xa_sector.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/description.hpp"
#include "tools/mkdisc/sample_description.hpp"

using namespace mkdisc;

namespace {

std::string error_of(const std::string& text) {
  try {
    build_from_description(text);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(Description, ImageWithMovieAndDataFile) {
  const BuiltDisc d = build_from_description(
      "volume TESTDISC\n"
      "file MOVIE/A.STR   # a movie\n"
      "movie width=48 height=32 frames=3 version=3 scale=4 audio=18900 stereo=no\n"
      "file NOTE.TXT\n"
      "data text=hello\n");
  EXPECT_TRUE(d.is_image);
  ASSERT_EQ(d.files.size(), 2u);
  ASSERT_EQ(d.files[0].movies.size(), 1u);
  const Movie& m = d.files[0].movies[0];
  EXPECT_EQ(m.frames.size(), 3u);
  EXPECT_EQ(d.files[0].extent.sector_count, m.sectors.size());
  for (size_t i = 0; i < m.sectors.size(); ++i) ASSERT_EQ(d.sectors[d.files[0].extent.first_sector + i], m.sectors[i]);
  EXPECT_EQ(d.files[1].extent.data_length, 5u);
  EXPECT_EQ(d.sectors[d.files[1].extent.first_sector][8], 'h');
}

TEST(Description, SameTextSameBytes) {
  const std::string text = "output sectors\nform 2352\nmovie frames=2 audio=37800 sound=melody\ngap 3\n"
                           "foreign 2 file=5\naudio sectors=2 channel=3 interleave=4\n";
  const BuiltDisc a = build_from_description(text), b = build_from_description(text);
  EXPECT_EQ(a.sectors, b.sectors);
  EXPECT_EQ(a.form, SectorForm::raw2352);
  EXPECT_FALSE(a.is_image);
  // movie sectors, 3 empty, 2 foreign, audio / 3 empty / audio
  const size_t movie = a.files[0].movies[0].sectors.size();
  ASSERT_EQ(a.sectors.size(), movie + 3 + 2 + 5);
  EXPECT_EQ(a.sectors[movie], Sector{});
  EXPECT_EQ(a.sectors[movie + 3][0], 5);
  EXPECT_TRUE(is_audio_sector(a.sectors[movie + 5].data()));
  EXPECT_EQ(a.sectors[movie + 6], Sector{});
  EXPECT_TRUE(is_audio_sector(a.sectors[movie + 9].data()));
}

TEST(Description, LanesMergeTwoChannels) {
  const BuiltDisc d = build_from_description(
      "output sectors\n"
      "movie frames=2 channel=1 lane=0\n"
      "movie frames=2 channel=2 lane=1 pattern=bars\n");
  const size_t n1 = d.files[0].movies[0].sectors.size(), n2 = d.files[0].movies[1].sectors.size();
  ASSERT_EQ(d.sectors.size(), n1 + n2);
  EXPECT_EQ(d.sectors[0][1], 1);
  EXPECT_EQ(d.sectors[1][1], 2);
  EXPECT_EQ(d.sectors[2][1], 1);
}

TEST(Description, RefusalsNameTheValue) {
  const struct {
    const char* text;
    const char* expect;
  } cases[] = {
      {"output sectors\nmovie file=300\n", "line 2: file number 300 is outside 0..255"},
      {"output sectors\nmovie channel=-1\n", "channel number -1"},
      {"output sectors\nmovie width=65535 height=65535\n", "65535x65535"},
      {"output sectors\nmovie scale=64\n", "quantisation scale 64"},
      {"output sectors\nmovie version=4\n", "bitstream version 4"},
      {"output sectors\nmovie audio=44100\n", "audio rate 44100"},
      {"output sectors\nmovie frames=x\n", "frame count \"x\""},
      {"output sectors\nmovie colour=blue\n", "colour \"blue\""},
      {"output sectors\nmovie widht=3\n", "unknown key \"widht\""},
      {"output sectors\nfrobnicate\n", "unknown statement \"frobnicate\""},
      {"movie\n", "must follow a file statement"},
      {"volume BAD-NAME\nfile A\ndata size=1\n", "volume identifier \"BAD-NAME\""},
      {"output sectors\nmovie frames=1 width=320 height=240 scale=1 pattern=bars sectors-per-frame=2\n",
       "only"},
      {"output sectors\nforeign 2 file=256\n", "file number 256"},
  };
  for (const auto& c : cases) {
    const std::string e = error_of(c.text);
    EXPECT_NE(e.find(c.expect), std::string::npos) << c.text << " gave: " << e;
  }
}

TEST(Description, SampleDiscHasTheMovieWithSound) {
  const BuiltDisc d = build_from_description(kSampleDescription);
  ASSERT_FALSE(d.files.empty());
  EXPECT_EQ(d.files[0].path, "MOVIE/SAMPLE.STR");
  ASSERT_EQ(d.files[0].movies.size(), 1u);
  const Movie& m = d.files[0].movies[0];
  EXPECT_EQ(m.frames.size(), 60u);
  EXPECT_EQ(m.frames[0].width, 320);
  EXPECT_GT(m.audio_sectors, 70);
}

#ifdef MKDISC_EXE
TEST(MkdiscCommand, BuildsReportsAndRefuses) {
  TempDir dir;
  write_file(dir.file("ok.desc"), "volume V\nfile M/X.STR\nmovie frames=2\n");
  const ProcessResult ok = run_process({MKDISC_EXE, "build", dir.file("ok.desc"), dir.file("x.img"), "--dump", dir.path()});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(ok.out.find("file M/X.STR sector"), std::string::npos) << ok.out;
  EXPECT_EQ(read_file(dir.file("x.img")).size() % 2336, 0u);
  EXPECT_TRUE(file_exists(dir.file("movie1_frame0002.ppm")));

  write_file(dir.file("bad.desc"), "output sectors\nmovie file=300\n");
  const ProcessResult bad = run_process({MKDISC_EXE, "build", dir.file("bad.desc"), dir.file("y.img")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("line 2: file number 300 is outside 0..255"), std::string::npos) << bad.err;
  EXPECT_FALSE(file_exists(dir.file("y.img")));

  EXPECT_EQ(run_process({MKDISC_EXE}).status, 2);
  EXPECT_EQ(run_process({MKDISC_EXE, "build", dir.file("missing.desc"), dir.file("z")}).status, 1);
}
#endif

TEST(Description, PackedDiscOfMoviesAndEightBitSound) {
  // The packed disc of a mastering tool: STR and XA files back to back, two
  // movies back to back on file 0 channel 0 (the encoder's default), audio
  // first in each group, and an 8-bit XA file.
  const BuiltDisc d = build_from_description(
      "file MOVIE/A.STR\n"
      "movie width=32 height=32 frames=2 file=0 channel=0 audio=37800 sectors-per-frame=10 audio-slot=0\n"
      "movie width=32 height=32 frames=2 file=0 channel=0 audio=37800 audio-bits=8 sectors-per-frame=10\n"
      "file SOUND/B.XA\n"
      "audio rate=18900 stereo=no bits=8 sectors=3 interleave=16\n");
  ASSERT_EQ(d.files.size(), 2u);
  EXPECT_EQ(d.files[1].extent.first_sector, d.files[0].extent.first_sector + d.files[0].extent.sector_count);
  const Sector& first = d.sectors[d.files[0].extent.first_sector];
  EXPECT_TRUE(is_audio_sector(first.data()));  // audio in slot 0
  EXPECT_EQ(first[0], 0);
  EXPECT_EQ(first[1], 0);
  const Movie& second = d.files[0].movies[1];
  EXPECT_TRUE(is_audio_sector(second.sectors[3].data()));  // one in 4 with 8-bit samples, the last of each group
  EXPECT_EQ(second.sectors[3][3], 0x11);                   // 8-bit, stereo
  EXPECT_EQ(d.sectors[d.files[1].extent.first_sector][3], 0x14);  // 8-bit, 18900 Hz, mono
  EXPECT_NE(error_of("output sectors\nmovie audio=37800 audio-bits=6\n").find("sample width 6"), std::string::npos);
  EXPECT_NE(error_of("output sectors\nmovie audio=37800 audio-slot=8\n").find("audio slot 8"), std::string::npos);
}

// Movies at a disc speed and frame rate: single speed halves the sound's
// interleave, fps gives the sectors a frame (fractional ones alternate), the
// sound's place in each run of sectors is chosen, and the flash pattern is
// white one frame in ten.
TEST(Description, SpeedFpsAudioSlotAndFlash) {
  const BuiltDisc d = build_from_description(
      "output sectors\n"
      "movie width=16 height=16 frames=12 speed=1 fps=24 audio=37800 audio-slot=0 pattern=flash\n");
  const Movie& m = d.files.at(0).movies.at(0);
  // 75 / 24 = 3.125 sectors a frame, one in four of them sound, from sector 0.
  ASSERT_EQ(m.sectors.size(), 37u);  // floor(12 x 3.125)
  for (size_t i = 0; i < m.sectors.size(); ++i)
    EXPECT_EQ(is_audio_sector(m.sectors[i].data()), i % 4 == 0) << "sector " << i;
  for (int f = 0; f < 12; ++f) EXPECT_EQ(m.frames[f].rgb[0] == 255, f == 5) << "frame " << f;
  EXPECT_NE(error_of("output sectors\nmovie fps=15 sectors-per-frame=10\n").find("not both"), std::string::npos);
  EXPECT_NE(error_of("output sectors\nmovie speed=3\n").find("disc speed"), std::string::npos);
  EXPECT_NE(error_of("output sectors\nmovie audio=37800 audio-slot=8\n").find("audio slot 8"), std::string::npos);
}
