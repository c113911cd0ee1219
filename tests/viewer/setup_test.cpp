// Set-up choices and failures: frame periods, frame rate from chunks,
// display size, audio interval, routine table, flip rectangles, the display
// mode order and the messages of the set-up failures.
#include <gtest/gtest.h>

#include <bit>

#include "format/viewer/routine_table.hpp"
#include "modes/viewer/playback_control.hpp"
#include "modes/viewer/playback_loop.hpp"
#include "modes/viewer/viewer_setup.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"
#include "tests/viewer/playback_harness.hpp"

namespace {

TEST(ViewerChoices, FramePeriodsAreTheSinglePrecisionValues) {
  EXPECT_EQ(std::bit_cast<uint32_t>(frame_period_for(10)), 0x42C80000u);
  EXPECT_EQ(std::bit_cast<uint32_t>(frame_period_for(20)), 0x42480000u);
  EXPECT_EQ(std::bit_cast<uint32_t>(frame_period_for(30)), 0x42055555u);
  EXPECT_EQ(std::bit_cast<uint32_t>(frame_period_for(15)), 0x42855555u);
  EXPECT_EQ(std::bit_cast<uint32_t>(frame_period_for(25)), 0x42855555u);
}

TEST(ViewerChoices, FrameRateFromChunksPerFrame) {
  const int expected[] = {30, 30, 30, 30, 30, 30, 20, 20, 20, 15, 15, 10, 10, 10, 10, 10, 15, 15};
  for (uint32_t c = 0; c < 18; ++c) EXPECT_EQ(frame_rate_for_chunks(c), expected[c]) << c;
}

TEST(ViewerChoices, DisplaySizeAndFilter) {
  uint32_t w = 0, h = 0;
  int32_t filter = 0;
  choose_display_size(320, 224, 1, 1, filter, &w, &h);
  EXPECT_EQ(w, 320u);
  EXPECT_EQ(h, 240u);
  choose_display_size(320, 240, 1, 0, filter, &w, &h);  // ModeX off
  EXPECT_EQ(w, 640u);
  choose_display_size(320, 240, 2, 1, filter, &w, &h);  // doubled by the blit
  EXPECT_EQ(w, 640u);
  filter = 1;
  choose_display_size(256, 240, 1, 1, filter, &w, &h);
  EXPECT_EQ(w, 640u);
  EXPECT_EQ(filter, 1);
  choose_display_size(336, 240, 1, 1, filter, &w, &h);  // too wide to double
  EXPECT_EQ(filter, 0);
}

TEST(ViewerChoices, AudioInterval) {
  EXPECT_EQ(audio_interval_for(37800, 2), 8u);
  EXPECT_EQ(audio_interval_for(37800, 1), 16u);
  EXPECT_EQ(audio_interval_for(18900, 2), 16u);
  EXPECT_EQ(audio_interval_for(18900, 1), 32u);
}

TEST(ViewerChoices, RoutineTable) {
  int32_t fixed = 1, filter = 0;
  RoutineTable t = select_routines(false, fixed, filter);
  EXPECT_EQ(t.transform_frame, inverse_dct_float);
  EXPECT_EQ(t.convert_quadrant, convert_quadrant_float);
  EXPECT_EQ(t.viewer_sound_unit, viewer_sound_unit_plain);
  EXPECT_EQ(fixed, 0);  // no MMX: switched off

  fixed = 0;
  t = select_routines(true, fixed, filter);
  EXPECT_EQ(t.transform_frame, inverse_dct_float);
  EXPECT_EQ(t.convert_quadrant, convert_quadrant_float_mmx);
  EXPECT_EQ(t.viewer_sound_unit, viewer_sound_unit_mmx);

  fixed = 1;
  t = select_routines(true, fixed, filter);
  EXPECT_EQ(t.draw_frame, draw_frame_fixed);

  filter = 1;
  t = select_routines(true, fixed, filter);
  EXPECT_EQ(t.transform_frame, inverse_dct_filter);
  EXPECT_EQ(t.draw_frame, draw_frame_filter);
  EXPECT_EQ(t.surface_scale, 2u);
}

TEST(ViewerChoices, FlipRectangles) {
  Rect src, dst;
  flip_rectangles(1, 1, 320, 240, 640, 480, &src, &dst);
  EXPECT_EQ(dst.left, 160);
  EXPECT_EQ(dst.top, 120);
  EXPECT_EQ(dst.right, 480);
  EXPECT_EQ(dst.bottom, 360);
  flip_rectangles(2, 1, 320, 240, 640, 480, &src, &dst);
  EXPECT_EQ(dst.left, 0);
  EXPECT_EQ(dst.bottom, 480);
  EXPECT_EQ(src.right, 320);
  flip_rectangles(1, 2, 256, 240, 640, 480, &src, &dst);  // the filter doubles
  EXPECT_EQ(dst.left, 64);
  EXPECT_EQ(dst.top, 0);
  EXPECT_EQ(dst.right, 576);
  EXPECT_EQ(src.right, 512);
  flip_rectangles(1, 1, 800, 240, 640, 480, &src, &dst);
  EXPECT_EQ(dst.left, -80);
}

TEST(ViewerSetup, DisplayModesAreTriedInOrder) {
  PlaybackHarness h;
  h.load(small_movie(3, 320, 240, false).sectors);
  h.display.refused_modes.insert(std::make_tuple(320u, 240u, 24u));
  h.display.refused_modes.insert(std::make_tuple(320u, 240u, 32u));
  viewer_setup();
  ASSERT_EQ(h.display.modes_tried.size(), 3u);
  EXPECT_EQ(h.display.modes_tried[2], std::make_tuple(640u, 480u, 24u));
  EXPECT_EQ(viewer_display.display_width, 640u);
  EXPECT_EQ(viewer_display.bytes_per_pixel, 3u);
  EXPECT_EQ(viewer_sound.enabled, 0u);  // no audio in the window
}

void refuse_every_mode(FakeDisplay& display) {
  for (uint32_t bits : {24u, 32u}) {
    display.refused_modes.insert(std::make_tuple(320u, 240u, bits));
    display.refused_modes.insert(std::make_tuple(640u, 480u, bits));
  }
}

TEST(ViewerSetup, FailuresEndWithTheirCodes) {
  const auto movie = small_movie(3, 64, 48, true);
  EXPECT_EXIT(
      {
        PlaybackHarness h;
        h.load(movie.sectors);
        refuse_every_mode(h.display);
        viewer_setup();
      },
      ::testing::ExitedWithCode(246), "");
  EXPECT_EXIT(
      {
        PlaybackHarness h;
        h.load(movie.sectors);
        h.sound.fail_open = true;
        viewer_setup();
      },
      ::testing::ExitedWithCode(246), "");
  EXPECT_EXIT(
      {
        PlaybackHarness h;
        h.load(mkdisc::gap_sectors(100));
        viewer_setup();
      },
      ::testing::ExitedWithCode(245), "");
}

}  // namespace
