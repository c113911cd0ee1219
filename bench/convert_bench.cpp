// Conversion benchmark: a long synthesised 320x240 movie converted to an
// uncompressed AVI by korvane (-no-cdrom, from the 2336-byte sector file)
// and by ffmpeg (from the raw 2352-byte form of the same movie, to 24-bit
// rawvideo), on the same machine in the same run. Runs alternate and the
// best wall-clock time of each is kept, so that other load on the machine
// disturbs both alike. Prints frames a second for both and their ratio.
//
// usage: convert_bench [frames (default 600)] [runs (default 5)]
// The files go to $TMPDIR (or /tmp); pointing it at a RAM disk such as
// /dev/shm measures conversion rather than the disc.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kSectorsPerFrame = 10;  // 15 frames a second with 1-in-8 audio at double speed

double seconds_of(const std::vector<std::string>& argv, bool& ok) {
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult r = run_process(argv);
  const auto end = std::chrono::steady_clock::now();
  ok = ok && r.status == 0;
  if (r.status != 0) std::fprintf(stderr, "%s failed (status %d)\n%s", argv[0].c_str(), r.status, r.err.c_str());
  return std::chrono::duration<double>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (frames < 1 || runs < 1) {
    std::fprintf(stderr, "usage: convert_bench [frames] [runs]\n");
    return 2;
  }

  mkdisc::MovieSpec spec;
  spec.width = kWidth;
  spec.height = kHeight;
  spec.frames = frames;
  spec.pattern = mkdisc::Pattern::sample;
  spec.sectors_per_frame = kSectorsPerFrame;
  spec.audio = true;
  const mkdisc::Movie movie = mkdisc::build_movie(spec);

  TempDir dir;
  const std::string sectors = dir.file("movie.str");
  const std::string raw = dir.file("movie.raw");
  mkdisc::write_sector_file(sectors, movie.sectors, mkdisc::SectorForm::form2336);
  mkdisc::write_sector_file(raw, movie.sectors, mkdisc::SectorForm::raw2352);

  const std::string ffmpeg_path = find_on_path("ffmpeg");
  const bool have_ffmpeg = !ffmpeg_path.empty();

  const std::vector<std::string> korvane = {KORVANE_EXE, "-no-cdrom", sectors, dir.file("korvane.avi")};
  const std::vector<std::string> ffmpeg = {ffmpeg_path, "-v", "error", "-y", "-i", raw, "-an",
                                           "-c:v", "rawvideo", "-pix_fmt", "bgr24", dir.file("ffmpeg.avi")};
  double best_korvane = 1e30, best_ffmpeg = 1e30;
  bool ok = true;
  for (int run = 0; run < runs; ++run) {
    best_korvane = std::min(best_korvane, seconds_of(korvane, ok));
    if (have_ffmpeg) best_ffmpeg = std::min(best_ffmpeg, seconds_of(ffmpeg, ok));
  }
  if (!ok) return 1;

  std::printf("movie: %d frames of %dx%d, %zu sectors; best of %d runs\n", frames, kWidth, kHeight,
              movie.sectors.size(), runs);
  const double korvane_fps = frames / best_korvane;
  std::printf("korvane: %.3f s, %.0f frames/s\n", best_korvane, korvane_fps);
  if (!have_ffmpeg) {
    std::printf("ffmpeg: not installed, no comparison\n");
    return 0;
  }
  const double ffmpeg_fps = frames / best_ffmpeg;
  std::printf("ffmpeg:  %.3f s, %.0f frames/s\n", best_ffmpeg, ffmpeg_fps);
  std::printf("korvane / ffmpeg: %.2f\n", korvane_fps / ffmpeg_fps);
  return 0;
}
