// The viewer's own choice of frame rate (no -viewer: number): the movie's
// rate from the frames it preloads and the sound sectors among them, by the
// conversion's rule; movies made for the chunk table keep its rate.
#include <gtest/gtest.h>

#include "modes/viewer/playback_loop.hpp"
#include "state/conversion_numbers.hpp"
#include "state/viewer_state.hpp"
#include "tests/viewer/playback_harness.hpp"

namespace {

mkdisc::Movie movie_at(int speed, double fps, int audio_rate, bool stereo) {
  mkdisc::MovieSpec s;
  s.width = 32;
  s.height = 32;
  s.frames = 24;
  s.disc_speed = speed;
  s.sectors_per_frame = 75.0 * speed / fps;
  s.audio = true;
  s.audio_format.rate = audio_rate;
  s.audio_format.stereo = stereo;
  return mkdisc::build_movie(s);
}

FrameRate played_rate(const mkdisc::Movie& m) {
  PlaybackHarness h;
  h.load(m.sectors);
  run_viewer();
  return viewer_stream.frame_rate;
}

TEST(ViewerRate, SingleSpeedMoviePlaysAtItsOwnRate) {
  // 5 sectors a frame at single speed, 3 or 4 of them video: the first
  // frame's chunks alone would say 30.
  EXPECT_EQ(played_rate(movie_at(1, 15, 37800, true)), (FrameRate{15, 1}));
  EXPECT_EQ(viewer_frame_rate, 15);
}

TEST(ViewerRate, FractionalSectorsPerFrameAtDoubleSpeed) {
  EXPECT_EQ(played_rate(movie_at(2, 24, 37800, true)), (FrameRate{24, 1}));
  EXPECT_EQ(played_rate(movie_at(2, 7.5, 18900, false)), (FrameRate{15, 2}));
}

TEST(ViewerRate, AGivenRateIsPlayedUnchanged) {
  PlaybackHarness h;
  h.load(movie_at(1, 15, 37800, true).sectors);
  viewer_frame_rate = 20;
  run_viewer();
  EXPECT_EQ(viewer_frame_rate, 20);
}

}  // namespace
