// Disc image benchmark: one movie converted to AVI by korvane from the raw
// 2352-byte image, from a CUE sheet and from CHDs made by chdman of the same
// disc (default codecs, where LZMA does nearly every hunk, and cdzl), side
// by side in one run, with korvane's default thread count and with
// KORVANE_THREADS=1. Runs alternate over every source and setting; prints
// the best and median wall-clock times, the best processor times, and the
// ratios to the raw image under the same setting (the aim is at most 1.5).
//
// usage: image_bench [frames (default 300)] [runs (default 5)]
// The files go to $TMPDIR (or /tmp).
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/cue_disc.hpp"
#include "tools/mkdisc/description.hpp"
#include "tools/mkdisc/pcm.hpp"

namespace {

constexpr int kCdRate = 44100;

struct Timing {
  double wall = 1e9;  // seconds
  double cpu = 1e9;   // user + system seconds of the child
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

Timing time_of(const std::vector<std::string>& argv, bool& ok) {
  rusage before{};
  getrusage(RUSAGE_CHILDREN, &before);
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult r = run_process(argv);
  const auto end = std::chrono::steady_clock::now();
  rusage after{};
  getrusage(RUSAGE_CHILDREN, &after);
  if (r.status != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n%s%s", argv[0].c_str(), r.status, r.out.c_str(), r.err.c_str());
    ok = false;
  }
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  Timing t;
  t.wall = std::chrono::duration<double>(end - start).count();
  t.cpu = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (frames < 1 || runs < 1) {
    std::fprintf(stderr, "usage: image_bench [frames] [runs]\n");
    return 2;
  }
  const std::string chdman = find_on_path("chdman");
  if (chdman.empty()) {
    std::fprintf(stderr, "image_bench needs chdman (Debian mame-tools)\n");
    return 1;
  }
  const std::string description =
      "output image\nfile MOVIE/M.STR\nmovie width=320 height=240 frames=" + std::to_string(frames) +
      " pattern=sample sectors-per-frame=10 audio=37800\n";
  const mkdisc::BuiltDisc disc = mkdisc::build_from_description(description);
  TempDir dir;
  mkdisc::write_sector_file(dir.file("disc.bin"), disc.sectors, mkdisc::SectorForm::raw2352);
  mkdisc::write_cue_disc(dir.file("disc.cue"), disc.sectors, mkdisc::make_pcm(mkdisc::Sound::melody, kCdRate, true, kCdRate),
                         mkdisc::CueFiles::bin_per_track);
  for (const auto& [name, codecs] : {std::pair<const char*, const char*>{"disc.chd", ""}, {"zlib.chd", "cdzl"}}) {
    std::vector<std::string> command = {chdman, "createcd", "-i", dir.file("disc.cue"), "-o", dir.file(name), "-f"};
    if (codecs[0] != '\0') command.insert(command.end(), {"-c", codecs});
    if (run_process(command).status != 0) {
      std::fprintf(stderr, "chdman createcd failed\n");
      return 1;
    }
  }
  const char* kinds[] = {"disc.bin", "disc.cue", "disc.chd", "zlib.chd"};
  const char* labels[] = {"raw image", "CUE sheet", "CHD (default: cdlz, cdzl, cdfl)", "CHD (cdzl)"};
  constexpr int kKinds = 4;
  // The thread settings: korvane's default (one a core), then one thread.
  const char* settings[] = {nullptr, "1"};
  const char* setting_labels[] = {"default threads", "KORVANE_THREADS=1"};
  constexpr int kSettings = 2;
  const char* inherited = std::getenv("KORVANE_THREADS");
  const std::string kept = inherited != nullptr ? inherited : "";
  std::vector<std::vector<Timing>> best(kSettings, std::vector<Timing>(kKinds));
  std::vector<std::vector<std::vector<double>>> walls(kSettings, std::vector<std::vector<double>>(kKinds));
  bool ok = true;
  for (int run = 0; run < runs && ok; ++run)
    for (int set = 0; set < kSettings; ++set) {
      if (settings[set] != nullptr)
        setenv("KORVANE_THREADS", settings[set], 1);
      else if (inherited != nullptr)
        setenv("KORVANE_THREADS", kept.c_str(), 1);
      else
        unsetenv("KORVANE_THREADS");
      for (int k = 0; k < kKinds; ++k) {
        const std::vector<std::string> command = {KORVANE_EXE, "-path:" + dir.path(), "-image:" + dir.file(kinds[k]),
                                                  "-avi", "\\MOVIE\\M.STR", dir.file("out.avi")};
        const Timing t = time_of(command, ok);
        best[set][k].wall = std::min(best[set][k].wall, t.wall);
        best[set][k].cpu = std::min(best[set][k].cpu, t.cpu);
        walls[set][k].push_back(t.wall);
      }
    }
  if (!ok) return 1;
  std::printf("movie: %d frames 320x240, %zu sectors; %d runs of each\n", frames, disc.sectors.size(), runs);
  for (int set = 0; set < kSettings; ++set) {
    std::printf("%s\n%-32s %9s %9s %9s %11s %11s %11s\n", setting_labels[set], "source", "best s", "median s",
                "cpu s", "best / raw", "median/raw", "cpu / raw");
    const double raw_median = median(walls[set][0]);
    for (int k = 0; k < kKinds; ++k) {
      const Timing& b = best[set][k];
      const double m = median(walls[set][k]);
      std::printf("%-32s %9.3f %9.3f %9.3f %11.2f %11.2f %11.2f\n", labels[k], b.wall, m, b.cpu,
                  b.wall / best[set][0].wall, m / raw_median, b.cpu / best[set][0].cpu);
    }
  }
  return 0;
}
