// The program itself playing the sample movie with SDL's dummy video and
// audio drivers: it plays to the end and exits normally; a movie whose
// bitstream is damaged ends with the viewer decoder's error.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

#ifdef MKDISC_EXE
ProcessOptions headless() {
  ProcessOptions options;
  options.env = {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}};
  options.timeout_seconds = 120;
  return options;
}

std::vector<std::string> viewer_command(const TempDir& dir) {
  return {KORVANE_EXE, "-path:" + dir.path(), "-image:" + dir.file("SAMPLE.IMG"), "-viewer",
          "-startwait:0", "\\MOVIE\\SAMPLE.STR"};
}

TEST(HeadlessViewer, PlaysTheSampleMovieAtItsFrameRate) {
  TempDir dir;
  ASSERT_EQ(run_process({MKDISC_EXE, "sample", dir.path()}).status, 0);
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult result = run_process(viewer_command(dir), headless());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "");
  // 60 frames at 15 a second: four seconds of pacing.
  EXPECT_GT(seconds, 3.5);
  EXPECT_LT(seconds, 30.0);
}

TEST(HeadlessViewer, PlaysThroughSdlsSoftwareRenderer) {
  // The dummy driver alone has no accelerated renderer, so the picture goes
  // straight into the window surface; asked for by name, SDL's software
  // renderer takes the streaming texture instead.
  TempDir dir;
  ASSERT_EQ(run_process({MKDISC_EXE, "sample", dir.path()}).status, 0);
  ProcessOptions options = headless();
  options.env.emplace_back("SDL_RENDER_DRIVER", "software");
  std::vector<std::string> command = viewer_command(dir);
  command.insert(command.end() - 1, "-playwait:OFF");
  const ProcessResult result = run_process(command, options);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "");
}

TEST(HeadlessViewer, ADamagedBitstreamEndsWithError9) {
  TempDir dir;
  ASSERT_EQ(run_process({MKDISC_EXE, "sample", dir.path()}).status, 0);
  std::string image = read_file(dir.file("SAMPLE.IMG"));
  // Blank the bitstream of a video sector well into the movie: its frame
  // can no longer be decoded.
  constexpr size_t kSector = 2336;
  for (size_t s = 22 + 200; s < 22 + 210; ++s) {
    const size_t at = s * kSector;
    if ((static_cast<uint8_t>(image[at + 2]) & 0x28) != 0x08) continue;  // video sectors only
    std::fill(image.begin() + at + 8 + 40, image.begin() + at + 8 + 2048, '\0');
  }
  write_file(dir.file("SAMPLE.IMG"), image);
  // Unpaced, so that a late frame is never skipped on a busy machine.
  std::vector<std::string> command = viewer_command(dir);
  command.insert(command.begin() + 1, "-playwait:OFF");
  const ProcessResult result = run_process(command, headless());
  EXPECT_EQ(result.status, exit_status_of(-9));
  EXPECT_NE(result.out.find('\n'), std::string::npos);
}
// SIGINT or SIGTERM during a start wait of ten minutes ends the viewer, as
// the same signals do during playback, with 128 + the signal.
TEST(HeadlessViewer, ASignalEndsEvenALongStartWait) {
  TempDir dir;
  ASSERT_EQ(run_process({MKDISC_EXE, "sample", dir.path()}).status, 0);
  std::vector<std::string> command = viewer_command(dir);
  for (std::string& arg : command)
    if (arg == "-startwait:0") arg = "-startwait:600000";
  for (const int signal : {SIGINT, SIGTERM}) {
    ProcessOptions options = headless();
    options.signal = signal;
    options.after_ms = 1500;
    options.timeout_seconds = 60;  // a wait the signal does not end is killed here
    const ProcessResult result = run_process(command, options);
    EXPECT_EQ(result.status, 128 + signal) << "ended by signal " << result.signal;
  }
}
#else
TEST(HeadlessViewer, NeedsTheSynthesiser) { GTEST_SKIP() << "mkdisc is not built"; }
#endif

}  // namespace
