// Conversion benchmark: a synthesised 320x240 movie converted to an
// uncompressed AVI by korvane (-no-cdrom, from the 2336-byte sector file)
// with one decoding thread and with one a core, and by ffmpeg (from the raw
// 2352-byte form of the same movie, to 24-bit rawvideo), on the same machine
// in the same run. The three runs alternate and the median of each is
// reported, so that other load on the machine disturbs all alike. Prints
// frames a second by wall-clock time and by processor time (user + system,
// from GNU time when installed; ffmpeg spreads its work over several
// threads), the ratios against ffmpeg, peak memory, and the load average.
// The same conversion with -with-sound (the movie's XA sound interleaved
// into the AVI, every core) is timed in the same rounds, and its cost over
// -avi printed.
//
// usage: convert_bench [frames (default 300)] [runs (default 5)]
// The files go to $TMPDIR (or /tmp); pointing it at a RAM disk such as
// /dev/shm measures conversion rather than the disc.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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
  double wall = 0;     // seconds
  double cpu = 0;      // user + system seconds, when GNU time is there to tell
  double peak_kib = 0; // largest resident size, when GNU time is there to tell
};

// Runs the command, under GNU time (if installed) for its processor time
// and peak memory.
Timing time_of(const std::vector<std::string>& argv, const ProcessOptions& options, const std::string& gnu_time,
               bool& ok) {
  std::vector<std::string> command = argv;
  if (!gnu_time.empty()) command.insert(command.begin(), {gnu_time, "-f", "cpu %U %S %M"});
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult r = run_process(command, options);
  const auto end = std::chrono::steady_clock::now();
  ok = ok && r.status == 0;
  if (r.status != 0) std::fprintf(stderr, "%s failed (status %d)\n%s", argv[0].c_str(), r.status, r.err.c_str());
  Timing t;
  t.wall = std::chrono::duration<double>(end - start).count();
  const size_t at = r.err.rfind("cpu ");
  double user = 0, system = 0, peak = 0;
  if (at != std::string::npos && std::sscanf(r.err.c_str() + at, "cpu %lf %lf %lf", &user, &system, &peak) == 3) {
    t.cpu = user + system;
    t.peak_kib = peak;
  }
  return t;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Series {
  std::vector<double> wall, cpu, peak;
  void add(const Timing& t) {
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
    peak.push_back(t.peak_kib);
  }
  Timing medians() const { return Timing{median(wall), median(cpu), median(peak)}; }
};

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one.empty() ? "unknown" : one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
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
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  const std::vector<std::string> korvane = {KORVANE_EXE, "-no-cdrom", sectors, dir.file("korvane.avi")};
  const std::vector<std::string> with_sound = {KORVANE_EXE, "-no-cdrom", "-with-sound", sectors,
                                               dir.file("with_sound.avi")};
  const std::vector<std::string> ffmpeg = {ffmpeg_path, "-v", "error", "-y", "-i", raw, "-an",
                                           "-c:v", "rawvideo", "-pix_fmt", "bgr24", dir.file("ffmpeg.avi")};
  ProcessOptions one_thread, every_core;
  one_thread.env = {{"KORVANE_THREADS", "1"}, {"KORVANE_PATH", dir.path()}};
  every_core.env = {{"KORVANE_THREADS", std::to_string(cores)}, {"KORVANE_PATH", dir.path()}};
  const std::string gnu_time = std::filesystem::exists("/usr/bin/time") ? "/usr/bin/time" : "";
  const std::string load_before = load_average();
  Series single, parallel, sounded, reference;
  bool ok = true;
  for (int run = 0; run < runs; ++run) {
    single.add(time_of(korvane, one_thread, gnu_time, ok));
    // Which of the pair runs first changes every round, so that neither
    // always finds the machine as the other left it.
    if (run % 2 == 0) {
      parallel.add(time_of(korvane, every_core, gnu_time, ok));
      sounded.add(time_of(with_sound, every_core, gnu_time, ok));
    } else {
      sounded.add(time_of(with_sound, every_core, gnu_time, ok));
      parallel.add(time_of(korvane, every_core, gnu_time, ok));
    }
    if (have_ffmpeg) reference.add(time_of(ffmpeg, {}, gnu_time, ok));
  }
  if (!ok) return 1;

  std::printf("movie: %d frames of %dx%d, %zu sectors; median of %d alternating runs; %u cores\n", frames, kWidth,
              kHeight, movie.sectors.size(), runs, cores);
  std::printf("load average before %s, after %s\n", load_before.c_str(), load_average().c_str());
  auto report = [&](const char* name, const Timing& t) {
    std::printf("%-18s wall %.3f s, %4.0f frames/s", name, t.wall, frames / t.wall);
    if (!gnu_time.empty())
      std::printf("; processor %.3f s, %4.0f frames/s; peak %.0f KiB", t.cpu, frames / t.cpu, t.peak_kib);
    std::printf("\n");
  };
  const Timing k1 = single.medians(), kn = parallel.medians();
  const std::string threads_name = "korvane " + std::to_string(cores) + " threads:";
  report("korvane 1 thread:", k1);
  report(threads_name.c_str(), kn);
  std::printf("korvane %u threads / 1 thread (frames/s): wall %.2f\n", cores, k1.wall / kn.wall);
  const Timing ks = sounded.medians();
  report("+sound:", ks);
  std::printf("-with-sound over -avi (%u threads): wall %+.1f %%", cores, 100.0 * (ks.wall / kn.wall - 1));
  if (!gnu_time.empty()) std::printf(", processor %+.1f %%", 100.0 * (ks.cpu / kn.cpu - 1));
  // Each -with-sound run is next to its -avi run: the median of their ratios
  // is steadier than the ratio of the medians when the machine's speed drifts.
  std::vector<double> paired;
  for (size_t i = 0; i < sounded.wall.size(); ++i) paired.push_back(sounded.wall[i] / parallel.wall[i]);
  std::printf("; wall run by run %+.1f %% (median of the pairs)\n", 100.0 * (median(paired) - 1));
  if (!have_ffmpeg) {
    std::printf("ffmpeg: not installed, no comparison\n");
    return 0;
  }
  const Timing f = reference.medians();
  report("ffmpeg:", f);
  std::printf("korvane / ffmpeg (frames/s), 1 thread: wall %.2f", f.wall / k1.wall);
  if (!gnu_time.empty()) std::printf(", processor %.2f", f.cpu / k1.cpu);
  std::printf("; %u threads: wall %.2f", cores, f.wall / kn.wall);
  if (!gnu_time.empty()) std::printf(", processor %.2f", f.cpu / kn.cpu);
  std::printf("\n");
  return 0;
}
