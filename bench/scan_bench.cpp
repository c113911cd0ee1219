// Whole-disc scan benchmark: synthesises a large disc image (movies with
// their audio, free audio streams, eight interleaved channels, quiet gaps),
// runs `korvane -disc-all` over it with one decoding thread and with one a
// core (KORVANE_THREADS), alternating, and reports sectors per second, the
// ratio of the two, the scans' peak memory, the load average, and whether
// the first two runs wrote the same files byte for byte. Every run writes
// into a folder of its own (about 600 MB for 300000 sectors), removed when
// the run is done; the first two are compared first, and --keep keeps them.
//
//   scan_bench [sectors (default 100000)] [--detail] [--keep DIR] [--runs R (default 1; the median)]
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

constexpr int kDefaultSectors = 100000;
constexpr int kQuietGap = 100;  // wider than the default search window of 75

// One repeating block of about a thousand sectors.
mkdisc::SectorList disc_block() {
  mkdisc::SectorList block;
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = 64;
  movie_spec.height = 48;
  movie_spec.frames = 20;
  movie_spec.sectors_per_frame = 10;
  movie_spec.audio = true;
  mkdisc::append(block, mkdisc::build_movie(movie_spec).sectors);
  mkdisc::append(block, mkdisc::gap_sectors(kQuietGap));

  mkdisc::AudioFormat stereo;  // 37800 Hz stereo, one sector in 8
  const int free_sectors = 30;
  const auto pcm = mkdisc::make_pcm(mkdisc::Sound::melody, stereo.rate, true,
                                    static_cast<size_t>(mkdisc::samples_per_sector(stereo)) * free_sectors);
  const auto audio = mkdisc::encode_xa_audio(pcm, stereo, 1, 3);
  for (const auto& sector : audio) {
    block.push_back(sector);
    mkdisc::append(block, mkdisc::gap_sectors(7));
  }

  std::vector<mkdisc::SectorList> channels;
  for (int c = 0; c < 8; ++c) {
    const auto sweep = mkdisc::make_pcm(mkdisc::Sound::sweep, stereo.rate, true,
                                        static_cast<size_t>(mkdisc::samples_per_sector(stereo)) * 20);
    channels.push_back(mkdisc::encode_xa_audio(sweep, stereo, 2, c));
  }
  mkdisc::append(block, mkdisc::merge_round_robin(channels));
  mkdisc::append(block, mkdisc::gap_sectors(300));
  return block;
}

// Runs korvane with standard output discarded and the given number of
// decoding threads; returns the exit status and the child's resource usage.
int run_scan(const std::vector<std::string>& args, const std::string& dir, unsigned threads, rusage& usage) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    setenv("KORVANE_PATH", dir.c_str(), 1);
    setenv("KORVANE_THREADS", std::to_string(threads).c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  wait4(pid, &status, 0, &usage);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Scan {
  double seconds = 0;
  long peak_kib = 0;
  int status = 0;
};

// One scan into a fresh directory of its own beside the image. Only the
// first two runs' outputs are kept (until they are compared): on a RAM-backed
// temporary folder, outputs piling up run after run (600 MB a run for 300000
// sectors) slowed the later runs by up to 2.5 times, as new pages grew
// dearer, so the figure depended on how many runs came before.
Scan timed_scan(const std::vector<std::string>& args, const std::filesystem::path& dir, unsigned threads) {
  static int run = 0;
  const std::filesystem::path out = dir / ("run" + std::to_string(run++));
  std::filesystem::create_directories(out);
  rusage usage{};
  const auto start = std::chrono::steady_clock::now();
  Scan s;
  s.status = run_scan(args, out.string(), threads, usage);
  s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  s.peak_kib = usage.ru_maxrss;
  return s;
}

// True when two runs' folders hold the same files with the same bytes.
bool same_outputs(const std::filesystem::path& a, const std::filesystem::path& b) {
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(a)) {
    ++files;
    std::ifstream x(entry.path(), std::ios::binary), y(b / entry.path().filename(), std::ios::binary);
    if (!y || !std::equal(std::istreambuf_iterator<char>(x), std::istreambuf_iterator<char>(),
                          std::istreambuf_iterator<char>(y), std::istreambuf_iterator<char>()))
      return false;
  }
  for (const auto& entry : std::filesystem::directory_iterator(b)) {
    (void)entry;
    if (files-- == 0) return false;
  }
  return files == 0;
}

Scan median_scan(std::vector<Scan> scans) {
  std::sort(scans.begin(), scans.end(), [](const Scan& a, const Scan& b) { return a.seconds < b.seconds; });
  return scans[scans.size() / 2];
}

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one.empty() ? "unknown" : one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
  int sectors_wanted = kDefaultSectors;
  bool detail = false;
  std::string keep;
  int runs = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--detail") {
      detail = true;
    } else if (a == "--keep" && i + 1 < argc) {
      keep = argv[++i];
    } else {
      sectors_wanted = std::atoi(a.c_str());
    }
  }

  namespace fs = std::filesystem;
  const fs::path dir = keep.empty() ? fs::temp_directory_path() / ("scan_bench." + std::to_string(getpid()))
                                    : fs::path(keep);
  fs::create_directories(dir);

  const auto block = disc_block();
  mkdisc::SectorList disc;
  disc.reserve(static_cast<size_t>(sectors_wanted) + block.size());
  while (disc.size() < static_cast<size_t>(sectors_wanted)) mkdisc::append(disc, block);
  const std::string image = (dir / "disc.img").string();
  mkdisc::write_sector_file(image, disc, mkdisc::SectorForm::form2336);
  const size_t blocks = disc.size() / block.size();
  disc.clear();
  disc.shrink_to_fit();

  std::vector<std::string> args{KORVANE_EXE, "-disc-all", "-image:../disc.img"};
  if (detail) args.push_back("-detail");
  args.push_back("scan");

  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::string load_before = load_average();
  std::vector<Scan> single, parallel;
  bool same = false;
  size_t outputs = 0;
  for (int run = 0; run < runs; ++run) {
    single.push_back(timed_scan(args, dir, 1));
    parallel.push_back(timed_scan(args, dir, cores));
    if (run == 0) {
      same = same_outputs(dir / "run0", dir / "run1");
      for (const auto& entry : fs::directory_iterator(dir / "run0")) {
        (void)entry;
        ++outputs;
      }
    }
    if (keep.empty() || run > 0) {
      fs::remove_all(dir / ("run" + std::to_string(2 * run)));
      fs::remove_all(dir / ("run" + std::to_string(2 * run + 1)));
    }
  }
  const Scan one = median_scan(single), every = median_scan(parallel);

  const double total = static_cast<double>(blocks * block.size());
  std::printf("whole-disc scan%s: %.0f sectors (%zu blocks of %zu), %zu output files; median of %d; %u cores\n",
              detail ? " with -detail" : "", total, blocks, block.size(), outputs, runs, cores);
  std::printf("  load average before %s, after %s\n", load_before.c_str(), load_average().c_str());
  std::printf("  1 thread:   %.2f s, %.0f sectors/s, peak memory %ld KiB, exit status %d\n", one.seconds,
              total / one.seconds, one.peak_kib, one.status);
  std::printf("  %u threads: %.2f s, %.0f sectors/s, peak memory %ld KiB, exit status %d\n", cores, every.seconds,
              total / every.seconds, every.peak_kib, every.status);
  std::printf("  %u threads / 1 thread: %.2f\n", cores, one.seconds / every.seconds);
  std::printf("  outputs of 1 and %u threads byte-identical: %s\n", cores,
              same ? "yes" : "NO");
  const int status = one.status != 0 ? one.status : every.status;

  if (keep.empty()) fs::remove_all(dir);
  return status == 0 ? 0 : 1;
}
