// Disc image benchmark: one movie converted to AVI by korvane from the raw
// 2352-byte image, from a CUE sheet and from a CHD made by chdman (default
// codecs) of the same disc, side by side in one run. Runs alternate and the
// best wall-clock time of each is kept. Prints the times and the CHD/raw
// ratio (the aim is at most 1.5).
//
// usage: image_bench [frames (default 300)] [runs (default 5)]
// The files go to $TMPDIR (or /tmp).
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

double seconds_of(const std::vector<std::string>& argv, bool& ok) {
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult r = run_process(argv);
  const auto end = std::chrono::steady_clock::now();
  if (r.status != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n%s%s", argv[0].c_str(), r.status, r.out.c_str(), r.err.c_str());
    ok = false;
  }
  return std::chrono::duration<double>(end - start).count();
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
  if (run_process({chdman, "createcd", "-i", dir.file("disc.cue"), "-o", dir.file("disc.chd"), "-f"}).status != 0) {
    std::fprintf(stderr, "chdman createcd failed\n");
    return 1;
  }
  const char* kinds[] = {"disc.bin", "disc.cue", "disc.chd"};
  std::vector<double> best(3, 1e9);
  bool ok = true;
  for (int run = 0; run < runs && ok; ++run)
    for (int k = 0; k < 3; ++k) {
      const std::vector<std::string> command = {KORVANE_EXE, "-path:" + dir.path(), "-image:" + dir.file(kinds[k]),
                                                "-avi", "\\MOVIE\\M.STR", dir.file("out.avi")};
      best[k] = std::min(best[k], seconds_of(command, ok));
    }
  if (!ok) return 1;
  std::printf("movie: %d frames 320x240, %zu sectors\n", frames, disc.sectors.size());
  std::printf("raw image  %.3f s\nCUE sheet  %.3f s\nCHD        %.3f s\nCHD / raw  %.2f\n", best[0], best[1], best[2],
              best[2] / best[0]);
  return 0;
}
