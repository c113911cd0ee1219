// The frame rate korvane gives an AVI, taken from the movie: the sectors
// its frames span at the disc speed its XA sound implies, rounded to the
// usual rates; movies made for the old chunk table keep its rate.
#include <gtest/gtest.h>

#include <string>

#include "base/byte_order.hpp"
#include "format/timing/movie_rate.hpp"
#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

struct RateCase {
  int speed;        // 1 or 2
  double fps;
  int audio_rate;   // 0: no sound
  bool stereo;
  uint32_t rate, scale;  // the AVI's
  int bits = 4;     // of the sound's samples
};

std::string rate_name(const RateCase& c) {
  std::string fps = std::to_string(c.fps);
  fps = fps.substr(0, fps.find('.')) + (c.fps != int(c.fps) ? "_5" : "");
  return std::to_string(c.speed) + "x_" + fps + "fps_" +
         (c.audio_rate == 0 ? std::string("silent") : std::to_string(c.audio_rate) + (c.stereo ? "_stereo" : "_mono")) +
         (c.bits == 8 ? "_8bit" : "");
}

void PrintTo(const RateCase& c, std::ostream* os) { *os << rate_name(c); }

class FrameRateOfTheMovie : public testing::TestWithParam<RateCase> {};

TEST_P(FrameRateOfTheMovie, AviCarriesTheMoviesOwnRate) {
  const RateCase& c = GetParam();
  mkdisc::MovieSpec s;
  s.width = 16;  // one chunk a frame, so that even 2.5 sectors a frame have room
  s.height = 16;
  s.frames = 24;
  s.disc_speed = c.speed;
  s.sectors_per_frame = 75.0 * c.speed / c.fps;
  s.audio = c.audio_rate != 0;
  s.audio_format.rate = c.audio_rate == 0 ? 37800 : c.audio_rate;
  s.audio_format.stereo = c.stereo;
  s.audio_format.bits = c.bits;
  const mkdisc::Movie m = mkdisc::build_movie(s);

  TempDir dir;
  mkdisc::write_sector_file(dir.file("m.str"), m.sectors, mkdisc::SectorForm::form2336);
  const ProcessResult r = run_process({KORVANE_EXE, "-no-cdrom", dir.file("m.str"), dir.file("m.avi")});
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string avi = read_file(dir.file("m.avi"));
  ASSERT_GE(avi.size(), 2048u);
  const uint8_t* h = reinterpret_cast<const uint8_t*>(avi.data());
  EXPECT_EQ(get_le32(h + 128), c.scale);
  EXPECT_EQ(get_le32(h + 132), c.rate);
  EXPECT_EQ(get_le32(h + 32), uint32_t(1000000ull * c.scale / c.rate));

  const std::string ffprobe = find_on_path("ffprobe");
  if (ffprobe.empty()) GTEST_SKIP() << "ffprobe not installed: outside check skipped";
  const ProcessResult probe = run_process({ffprobe, "-v", "error", "-select_streams", "v:0", "-show_entries",
                                           "stream=r_frame_rate", "-of", "csv=p=0", dir.file("m.avi")});
  EXPECT_EQ(probe.out, std::to_string(c.rate) + "/" + std::to_string(c.scale) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Movies, FrameRateOfTheMovie,
    testing::Values(
        // Double speed, one sound sector in 8: 8.75 video sectors a frame at 15.
        RateCase{2, 15, 37800, true, 15, 1}, RateCase{2, 24, 37800, true, 24, 1},
        RateCase{2, 25, 37800, true, 25, 1}, RateCase{2, 12, 37800, true, 12, 1},
        RateCase{2, 7.5, 18900, false, 15, 2}, RateCase{2, 30, 18900, true, 30, 1},
        RateCase{2, 20, 37800, false, 20, 1}, RateCase{2, 10, 37800, true, 10, 1},
        // Single speed: half the sectors a frame, known from the sound.
        RateCase{1, 15, 37800, true, 15, 1}, RateCase{1, 24, 37800, true, 24, 1},
        RateCase{1, 10, 18900, false, 10, 1}, RateCase{1, 30, 37800, false, 30, 1},
        RateCase{1, 20, 18900, true, 20, 1}, RateCase{1, 12, 37800, true, 12, 1},
        // 8-bit sound fills a sector in half the time: one sector in 4.
        RateCase{2, 15, 37800, true, 15, 1, 8}, RateCase{1, 15, 18900, true, 15, 1, 8},
        // Without sound the disc is taken to turn at double speed.
        RateCase{2, 25, 0, false, 25, 1}, RateCase{2, 24, 0, false, 24, 1}),
    [](const testing::TestParamInfo<RateCase>& param_info) { return rate_name(param_info.param); });

// Movies whose frames all have one of the table's chunk counts keep the
// table's rate, whatever else lies between their frames.
TEST(FrameRateRule, TableMoviesKeepTheTableRate) {
  RateEvidence e;
  start_rate_evidence(e, 1, 1);
  for (uint32_t f = 0; f < 6; ++f) note_frame_start(e, f * 12, 10);  // 10 chunks and 2 other sectors
  EXPECT_EQ(movie_frame_rate(e, RateTable::conversion, 10), (FrameRate{15, 1}));
  // The same spacing with frames of 9 and 10 chunks is read at its span.
  RateEvidence varied;
  start_rate_evidence(varied, 1, 1);
  for (uint32_t f = 0; f < 6; ++f) note_frame_start(varied, f * 12, 9 + f % 2);
  EXPECT_EQ(movie_frame_rate(varied, RateTable::conversion, 10), (FrameRate{12, 1}));
  // Beyond the table: the conversion leaves the rate to velmora, the viewer plays at 15.
  RateEvidence single;
  start_rate_evidence(single, 1, 1);
  note_frame_start(single, 0, 20);
  EXPECT_EQ(movie_frame_rate(single, RateTable::conversion, 20).rate, 0u);
  EXPECT_EQ(movie_frame_rate(single, RateTable::viewer, 20), (FrameRate{15, 1}));
}

}  // namespace
