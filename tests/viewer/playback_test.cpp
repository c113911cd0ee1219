// Playback end to end in the test process, with the fake clock, display and
// sound: frames shown and dropped, the drain at the end, short streams,
// keys through the message path, the sound blocks, and the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "format/xa/adpcm_decoder.hpp"
#include "modes/viewer/playback_loop.hpp"
#include "modes/viewer/sound_stream.hpp"
#include "state/conversion_numbers.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"
#include "tests/support/process.hpp"
#include "tests/viewer/playback_harness.hpp"

namespace {

bool is_video(const mkdisc::Sector& s) { return is_video_sector(s.data()); }
bool is_audio(const mkdisc::Sector& s) { return is_audio_sector(s.data()); }

int audio_sectors(const mkdisc::SectorList& sectors) {
  return static_cast<int>(std::count_if(sectors.begin(), sectors.end(), is_audio));
}

bool silent(const std::vector<uint8_t>& block) {
  return std::all_of(block.begin(), block.end(), [](uint8_t b) { return b == 0; });
}

TEST(Playback, ShowsEveryFrameAndFeedsEveryAudioSector) {
  PlaybackHarness h;
  const auto m = small_movie(20);
  h.load(m.sectors);
  run_viewer();
  EXPECT_EQ(h.display.flips, 20);
  EXPECT_EQ(viewer_clock.frames_dropped, 0u);
  EXPECT_EQ(h.sound.plays, 1);  // started once, after the preload
  EXPECT_EQ(h.sound.stops, 1);  // and stopped at the end
  EXPECT_EQ(h.sound.rate, 37800u);
  EXPECT_EQ(h.sound.channels, 2u);
  // The drain goes on scanning, so the audio after the last video sector
  // is written too.
  const int audio = audio_sectors(m.sectors);
  ASSERT_GT(audio, 0);
  EXPECT_EQ(static_cast<int>(std::count_if(h.sound.blocks.begin(), h.sound.blocks.end(),
                                           [](const auto& b) { return !silent(b); })),
            audio);
  // The first block is the first audio sector as the viewer decodes it.
  const auto first_audio = std::find_if(m.sectors.begin(), m.sectors.end(), is_audio);
  AdpcmHistory left, right;
  int16_t expected[4032];
  decode_viewer_sound_sector(first_audio->data() + 8, 2, left, right, viewer_sound_unit_plain,
                             expected);
  ASSERT_EQ(h.sound.blocks.front().size(), 8064u);
  EXPECT_EQ(0, std::memcmp(h.sound.blocks.front().data(), expected, 8064));
  // 8064-byte blocks, round the 32-block buffer.
  for (size_t i = 0; i < h.sound.offsets.size(); ++i)
    EXPECT_EQ(h.sound.offsets[i], (i % 32) * 8064);
}

TEST(Playback, LateFlipsBecomeDroppedFrames) {
  PlaybackHarness h;
  h.load(small_movie(30).sectors);
  h.display.flip_cost_ms = 170;  // two and a half periods at 15 frames a second
  run_viewer();
  EXPECT_EQ(viewer_frame_rate, 15);  // ten sectors a frame
  EXPECT_GT(viewer_clock.frames_dropped, 10u);
  EXPECT_EQ(h.display.flips + static_cast<int>(viewer_clock.frames_dropped), 30)
      << h.display.flips << " shown, " << viewer_clock.frames_dropped << " dropped";
}

TEST(Playback, WithoutPacingNothingIsDropped) {
  PlaybackHarness h;
  h.load(small_movie(12).sectors);
  settings.PlayWait = 0;
  h.display.flip_cost_ms = 500;
  run_viewer();
  EXPECT_EQ(h.display.flips, 12);
  EXPECT_EQ(viewer_clock.frames_dropped, 0u);
}

TEST(Playback, EscapeEndsAfterThePassAndSpacePausesWithoutDropping) {
  {
    PlaybackHarness h;
    h.load(small_movie(20).sectors);
    h.display.script.emplace(3, WindowMessage{kMsgKeyDown, kKeyEscape});
    run_viewer();
    EXPECT_EQ(h.display.destroyed, 1);
    EXPECT_EQ(h.display.flips, 4);  // the pass that met the key still flips
  }
  {
    PlaybackHarness h;
    h.load(small_movie(20).sectors);
    h.display.script.emplace(2, WindowMessage{kMsgKeyDown, kKeySpace});
    h.display.pump_script.emplace(400, WindowMessage{kMsgKeyDown, kKeySpace});
    h.display.pump_cost_ms = 10;  // the pause lasts about four seconds
    run_viewer();
    EXPECT_EQ(h.display.flips, 20);
    EXPECT_EQ(viewer_clock.frames_dropped, 0u);
    EXPECT_EQ(h.sound.stops, 2);  // the pause and the end
    EXPECT_EQ(h.sound.plays, 2);  // the start and the resume
  }
  {
    PlaybackHarness h;
    h.load(small_movie(20).sectors);
    h.display.script.emplace(5, WindowMessage{kMsgClose, 0});
    run_viewer();
    EXPECT_EQ(h.display.destroyed, 0);  // a close request leaves the window
    EXPECT_EQ(h.display.flips, 6);
  }
}

TEST(Playback, AFailedFlipEndsQuietly) {
  PlaybackHarness h;
  h.load(small_movie(20).sectors);
  h.display.fail_flip_number = 3;
  run_viewer();
  EXPECT_EQ(h.display.flips, 3);
}

TEST(Playback, ShortStreamsPlayWhatTheyHave) {
  for (int frames : {0, 1, 2, 3, 6, 7}) {
    PlaybackHarness h;
    auto m = small_movie(std::max(frames, 1));
    if (frames == 0) m.sectors = mkdisc::SectorList(m.sectors.begin(), m.sectors.begin() + 1);
    h.load(m.sectors);
    if (frames == 0) {
      // A single chunk of a multi-chunk frame is still a frame; use a
      // one-chunk movie's first sector only when it holds a whole frame.
      if (m.chunks[0] != 1) continue;
    }
    run_viewer();
    const int expected = frames <= 1 ? 0 : frames;
    EXPECT_EQ(h.display.flips, expected) << frames << " frames";
  }
}

TEST(Playback, SilenceStandsInForMissingAudio) {
  PlaybackHarness h;
  auto m = small_movie(30);
  // Audio ends early: every audio sector after the third becomes an empty
  // sector.
  int seen = 0, removed = 0, last_video = 0;
  for (size_t i = 0; i < m.sectors.size(); ++i)
    if (is_video(m.sectors[i])) last_video = static_cast<int>(i);
  for (int i = 0; i < last_video; ++i) {
    if (!is_audio(m.sectors[i])) continue;
    if (++seen > 3) {
      m.sectors[i].fill(0);
      ++removed;
    }
  }
  h.load(m.sectors);
  run_viewer();
  ASSERT_GT(removed, 5);
  const auto silent_blocks = std::count_if(h.sound.blocks.begin(), h.sound.blocks.end(), silent);
  EXPECT_NEAR(static_cast<double>(silent_blocks), removed, 1.0);
  // The real blocks come first.
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(silent(h.sound.blocks[i]));
}

TEST(Playback, FramesWithoutChunksAreDropped) {
  PlaybackHarness h;
  auto m = small_movie(12);
  // Frame 9 claims 0 chunks in each of its sectors.
  int frame = 0;
  for (auto& s : m.sectors) {
    if (!is_video(s)) continue;
    const int chunk = get_le16(s.data() + 8 + 4);
    const int chunks = get_le16(s.data() + 8 + 6);
    if (get_le32(s.data() + 8 + 8) == 10) put_le16(s.data() + 8 + 6, 0);
    if (chunk == chunks - 1) ++frame;
  }
  h.load(m.sectors);
  run_viewer();
  EXPECT_EQ(frame_ring.dropped_oversized, static_cast<uint32_t>(m.chunks[9]));
  EXPECT_EQ(h.display.flips, 11);
}

TEST(Playback, PicturesMatchTheSourceInEveryPipeline) {
  struct Variant {
    int32_t fixed, filter;
    int scale;
    double min_psnr;
  };
  for (const Variant& v : {Variant{0, 0, 1, 25.0}, Variant{1, 0, 1, 25.0}, Variant{0, 1, 2, 24.0}}) {
    PlaybackHarness h;
    const auto m = small_movie(4, 64, 48, false);
    h.load(m.sectors);
    settings.Fixed = v.fixed;
    settings.Filter = v.filter;
    h.display.keep_pictures = true;
    run_viewer();
    ASSERT_EQ(h.display.flips, 4);
    for (int f = 0; f < 4; ++f) {
      const double psnr = surface_psnr(h.display, h.display.shown[f], m.frames[f], v.scale);
      EXPECT_GT(psnr, v.min_psnr) << "fixed " << v.fixed << " filter " << v.filter << " frame " << f;
    }
  }
}

// The pictures the viewer draws against those the conversion path writes
// (korvane -bmp on the same sector file): the float pipeline differs only by
// its single-precision samples and rounding, the fixed-point one by its
// 16-bit weights (measured: about 47 and 44 dB).
TEST(Playback, PicturesMatchTheConversionPath) {
  constexpr int kFrames = 4, kWidth = 64, kHeight = 48;
  constexpr size_t kBmpHeaderBytes = 54;
  for (const auto& [fixed, min_psnr] : {std::pair{0, 42.0}, std::pair{1, 38.0}}) {
    PlaybackHarness h;
    const auto m = small_movie(kFrames, kWidth, kHeight, false);
    h.load(m.sectors);
    settings.Fixed = fixed;
    h.display.keep_pictures = true;
    run_viewer();
    ASSERT_EQ(h.display.flips, kFrames);

    const ProcessResult run = run_process({KORVANE_EXE, "-no-cdrom", "-bmp", "-path:" + h.dir.path(),
                                           h.dir.file("movie.str"), h.dir.file("frame")});
    ASSERT_EQ(run.status, 0) << run.out;
    for (int f = 0; f < kFrames; ++f) {
      char name[32];
      std::snprintf(name, sizeof name, "frame%08d.BMP", f + 1);
      const std::string bmp = read_file(h.dir.file(name));
      ASSERT_EQ(bmp.size(), kBmpHeaderBytes + kWidth * kHeight * 3) << name;
      double squared = 0;
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          // BMP rows run bottom-up; both sides hold blue, green, red.
          const uint8_t* written = reinterpret_cast<const uint8_t*>(bmp.data()) + kBmpHeaderBytes +
                                   (static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 3;
          const uint8_t* shown = h.display.pixel(h.display.shown[f], x, y);
          for (int c = 0; c < 3; ++c) squared += (double(shown[c]) - written[c]) * (double(shown[c]) - written[c]);
        }
      const double mse = squared / (kWidth * kHeight * 3);
      const double psnr = mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
      EXPECT_GT(psnr, min_psnr) << "fixed " << fixed << " frame " << f + 1;
    }
  }
}

TEST(Playback, ADamagedBitstreamEndsWithTheDecoderError) {
  auto m = small_movie(12);
  // Frame 10's bitstream after its header becomes all one bits: the DC
  // reads, then no AC code begins with eleven ones followed by ...
  for (auto& s : m.sectors)
    if (is_video(s) && get_le32(s.data() + 8 + 8) == 10)
      std::fill(s.begin() + 8 + 32 + 8, s.begin() + 8 + 2048, 0x00);
  EXPECT_EXIT(
      {
        PlaybackHarness h;
        h.load(m.sectors);
        run_viewer();
        std::exit(0);
      },
      ::testing::ExitedWithCode(247), "");
}

}  // namespace
