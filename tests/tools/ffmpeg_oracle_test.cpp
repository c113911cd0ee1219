// ffmpeg as an outside oracle: raw 2352-byte movies of both versions, with
// stereo audio and the console colour convention, decode to the expected
// number of frames within 30 dB PSNR of the source pictures and audio within
// 35 dB SNR of the source PCM. Skipped when ffmpeg is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/tools/reference_decoder.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

using namespace mkdisc;

namespace {

// The full path of ffmpeg on PATH, or empty.
std::string ffmpeg_path() {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/ffmpeg";
    if (end > start && file_exists(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

bool have_ffmpeg() { return !ffmpeg_path().empty(); }

std::vector<int16_t> as_pcm(const std::string& bytes) {
  std::vector<int16_t> out(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  return out;
}

void check_movie(int version, int width, int height, Pattern pattern) {
  MovieSpec movie_spec;
  movie_spec.width = width;
  movie_spec.height = height;
  movie_spec.frames = 12;
  movie_spec.pattern = pattern;
  movie_spec.encode = {version, 8, ColourConvention::console};
  movie_spec.sectors_per_frame = 10;
  movie_spec.audio = true;
  movie_spec.audio_format = {37800, true};
  const Movie m = build_movie(movie_spec);
  TempDir dir;
  write_sector_file(dir.file("movie.str"), m.sectors, SectorForm::raw2352);

  const ProcessResult video = run_process({ffmpeg_path(), "-v", "error", "-f", "psxstr", "-i", dir.file("movie.str"), "-map",
                                           "0:v", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
  ASSERT_EQ(video.status, 0) << video.err;
  const size_t frame_bytes = static_cast<size_t>(width) * height * 3;
  ASSERT_EQ(video.out.size(), frame_bytes * m.frames.size()) << "frame count";
  for (size_t f = 0; f < m.frames.size(); ++f) {
    RgbFrame out = make_frame(width, height);
    std::copy_n(video.out.begin() + static_cast<std::ptrdiff_t>(f * frame_bytes), frame_bytes, out.rgb.begin());
    EXPECT_GE(reference::psnr(m.frames[f], out), 30.0) << "version " << version << " frame " << f;
  }

  const ProcessResult audio = run_process({ffmpeg_path(), "-v", "error", "-f", "psxstr", "-i", dir.file("movie.str"), "-map",
                                           "0:a", "-f", "s16le", "-"});
  ASSERT_EQ(audio.status, 0) << audio.err;
  const std::vector<int16_t> pcm = as_pcm(audio.out);
  ASSERT_EQ(pcm.size(), m.pcm.size());
  EXPECT_GE(reference::snr_db(m.pcm, pcm), 35.0);
}

}  // namespace

TEST(FfmpegOracle, Version2MovieWithAudio) {
  if (!have_ffmpeg()) GTEST_SKIP() << "ffmpeg is not installed; skipping the outside-oracle check";
  check_movie(2, 320, 240, Pattern::sample);  // the README's picture
}

TEST(FfmpegOracle, Version3MovieWithAudio) {
  if (!have_ffmpeg()) GTEST_SKIP() << "ffmpeg is not installed; skipping the outside-oracle check";
  check_movie(3, 160, 112, Pattern::gradient);
}

TEST(FfmpegOracle, OddSizedFrames) {
  if (!have_ffmpeg()) GTEST_SKIP() << "ffmpeg is not installed; skipping the outside-oracle check";
  check_movie(3, 100, 60, Pattern::gradient);
}
