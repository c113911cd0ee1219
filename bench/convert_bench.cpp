// Conversion benchmark: a long synthesised 320x240 movie converted to an
// uncompressed AVI by korvane (-no-cdrom, from the 2336-byte sector file)
// and by ffmpeg (from the raw 2352-byte form of the same movie, to 24-bit
// rawvideo), on the same machine in the same run. Runs alternate and the
// best wall-clock time of each is kept, so that other load on the machine
// disturbs both alike. Prints frames a second for both and their ratio, by
// wall-clock time and by processor time (user + system, from GNU time when
// installed; ffmpeg may spread its work over several threads). The same
// conversion with -with-sound (the movie's XA sound interleaved into the
// AVI) is timed in the same rounds, and its cost over -avi printed.
//
// usage: convert_bench [frames (default 600)] [runs (default 5)]
// The files go to $TMPDIR (or /tmp); pointing it at a RAM disk such as
// /dev/shm measures conversion rather than the disc.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

struct Timing {
  double wall = 0;  // seconds
  double cpu = 0;   // user + system seconds, when GNU time is there to tell
};

// Runs the command, under GNU time (if installed) for its processor time.
Timing time_of(const std::vector<std::string>& argv, const std::string& gnu_time, bool& ok) {
  std::vector<std::string> command = argv;
  if (!gnu_time.empty()) command.insert(command.begin(), {gnu_time, "-f", "cpu %U %S"});
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult r = run_process(command);
  const auto end = std::chrono::steady_clock::now();
  ok = ok && r.status == 0;
  if (r.status != 0) std::fprintf(stderr, "%s failed (status %d)\n%s", argv[0].c_str(), r.status, r.err.c_str());
  Timing t;
  t.wall = std::chrono::duration<double>(end - start).count();
  const size_t at = r.err.rfind("cpu ");
  double user = 0, system = 0;
  if (at != std::string::npos && std::sscanf(r.err.c_str() + at, "cpu %lf %lf", &user, &system) == 2)
    t.cpu = user + system;
  return t;
}

void keep_best(Timing& best, const Timing& t) {
  best.wall = std::min(best.wall, t.wall);
  best.cpu = std::min(best.cpu, t.cpu);
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (frames < 1 || runs < 1) {
    std::fprintf(stderr, "usage: convert_bench [frames] [runs]\n");
    return 2;
  }

  mkdisc::MovieSpec movie_spec;
  movie_spec.width = kWidth;
  movie_spec.height = kHeight;
  movie_spec.frames = frames;
  movie_spec.pattern = mkdisc::Pattern::sample;
  movie_spec.sectors_per_frame = kSectorsPerFrame;
  movie_spec.audio = true;
  const mkdisc::Movie movie = mkdisc::build_movie(movie_spec);

  TempDir dir;
  const std::string sectors = dir.file("movie.str");
  const std::string raw = dir.file("movie.raw");
  mkdisc::write_sector_file(sectors, movie.sectors, mkdisc::SectorForm::form2336);
  mkdisc::write_sector_file(raw, movie.sectors, mkdisc::SectorForm::raw2352);

  const std::string ffmpeg_path = find_on_path("ffmpeg");
  const bool have_ffmpeg = !ffmpeg_path.empty();

  const std::vector<std::string> korvane = {KORVANE_EXE, "-no-cdrom", sectors, dir.file("korvane.avi")};
  const std::vector<std::string> with_sound = {KORVANE_EXE, "-no-cdrom", "-with-sound", sectors,
                                               dir.file("with_sound.avi")};
  const std::vector<std::string> ffmpeg = {ffmpeg_path, "-v", "error", "-y", "-i", raw, "-an",
                                           "-c:v", "rawvideo", "-pix_fmt", "bgr24", dir.file("ffmpeg.avi")};
  const std::string gnu_time = std::filesystem::exists("/usr/bin/time") ? "/usr/bin/time" : "";
  Timing best_korvane{1e30, 1e30}, best_ffmpeg{1e30, 1e30}, best_with_sound{1e30, 1e30};
  bool ok = true;
  for (int run = 0; run < runs; ++run) {
    keep_best(best_korvane, time_of(korvane, gnu_time, ok));
    keep_best(best_with_sound, time_of(with_sound, gnu_time, ok));
    if (have_ffmpeg) keep_best(best_ffmpeg, time_of(ffmpeg, gnu_time, ok));
  }
  if (!ok) return 1;

  std::printf("movie: %d frames of %dx%d, %zu sectors; best of %d runs\n", frames, kWidth, kHeight,
              movie.sectors.size(), runs);
  auto report = [&](const char* name, const Timing& t) {
    std::printf("%-8s wall %.3f s, %.0f frames/s", name, t.wall, frames / t.wall);
    if (!gnu_time.empty()) std::printf("; processor %.3f s, %.0f frames/s", t.cpu, frames / t.cpu);
    std::printf("\n");
  };
  report("korvane:", best_korvane);
  report("+sound:", best_with_sound);
  std::printf("-with-sound over -avi: wall %+.1f %%", 100.0 * (best_with_sound.wall / best_korvane.wall - 1));
  if (!gnu_time.empty()) std::printf(", processor %+.1f %%", 100.0 * (best_with_sound.cpu / best_korvane.cpu - 1));
  std::printf("\n");
  if (!have_ffmpeg) {
    std::printf("ffmpeg: not installed, no comparison\n");
    return 0;
  }
  report("ffmpeg:", best_ffmpeg);
  std::printf("korvane / ffmpeg (frames/s): wall %.2f", best_ffmpeg.wall / best_korvane.wall);
  if (!gnu_time.empty()) std::printf(", processor %.2f", best_ffmpeg.cpu / best_korvane.cpu);
  std::printf("\n");
  return 0;
}
