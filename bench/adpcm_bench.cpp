// XA ADPCM decoding speed: for 4- and 8-bit, mono and stereo sound, decodes a
// run of pseudo-random sectors (ordinary parameters: shifts 0 to 12, filters
// 0 to 3) through the sector decoders and through a chain of single-unit
// calls, alternating, and prints nanoseconds a sample and samples a second
// (the median of the runs) with the load average.
//
//   adpcm_bench [runs (default 9)] [sectors (default 2000)]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "format/xa/adpcm_decoder.hpp"

namespace {

constexpr int kDefaultRuns = 9;
constexpr int kDefaultSectors = 2000;
constexpr int kPassesPerRun = 10;  // decodes of the whole run of sectors per timing
constexpr int kShiftsInUse = 13;   // encoders choose shifts 0 to 12
constexpr int kFiltersInUse = 4;

struct Format {
  const char* name;
  bool eight_bit;
  bool stereo;
};

constexpr Format kFormats[] = {
    {"4-bit mono", false, false},
    {"4-bit stereo", false, true},
    {"8-bit mono", true, false},
    {"8-bit stereo", true, true},
};

std::vector<uint8_t> make_sectors(int sectors) {
  std::vector<uint8_t> data(static_cast<size_t>(sectors) * kSoundDataBytes);
  uint32_t seed = 12345;
  for (auto& b : data) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 16);
  }
  for (size_t g = 0; g < data.size() / kSoundGroupBytes; ++g)
    for (int u = 0; u < kUnitsPerGroup; ++u) {
      uint8_t& p = data[g * kSoundGroupBytes + kUnitParameterOffset + u];
      p = static_cast<uint8_t>(((p >> 4) % kFiltersInUse) << 4 | (p & 0x0F) % kShiftsInUse);
    }
  return data;
}

int samples_per_sector(const Format& f) { return f.eight_bit ? kSamplesPerSector8Bit : kSamplesPerSector; }

// The sector decoders, as the converters call them.
void decode_by_sector(const Format& f, const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                      int16_t* out) {
  XaCoding coding{};
  coding.channels = f.stereo ? 2 : 1;
  coding.bits = f.eight_bit ? kXaBits8 : kXaBits4;
  decode_xa_sector_samples(data, coding, left, right, out);
}

// The same sector as a chain of single-unit calls, one channel at a time,
// then interleaved.
void decode_by_unit(const Format& f, const uint8_t* data, AdpcmHistory& left, AdpcmHistory& right,
                    int16_t* out) {
  const int units = f.eight_bit ? kUnitsPerGroup8Bit : kUnitsPerGroup;
  const SoundUnitDecoder unit = f.eight_bit ? decode_sound_unit_8bit : decode_sound_unit;
  if (!f.stereo) {
    decode_sound_units(data, units, 0, 1, left, unit, out);
    return;
  }
  const int half = samples_per_sector(f) / 2;
  std::vector<int16_t> halves(static_cast<size_t>(samples_per_sector(f)));
  decode_sound_units(data, units, 0, 2, left, unit, halves.data());
  decode_sound_units(data, units, 1, 2, right, unit, halves.data() + half);
  for (int k = 0; k < half; ++k) {
    out[2 * k] = halves[k];
    out[2 * k + 1] = halves[half + k];
  }
}

using Decoder = void (*)(const Format&, const uint8_t*, AdpcmHistory&, AdpcmHistory&, int16_t*);

// Nanoseconds a sample for one timing; the checksum keeps the work alive.
double time_once(Decoder decode, const Format& f, const std::vector<uint8_t>& data, int sectors,
                 std::vector<int16_t>& out, long long& checksum) {
  const int per_sector = samples_per_sector(f);
  const auto start = std::chrono::steady_clock::now();
  for (int pass = 0; pass < kPassesPerRun; ++pass) {
    AdpcmHistory left, right;
    for (int s = 0; s < sectors; ++s)
      decode(f, data.data() + static_cast<size_t>(s) * kSoundDataBytes, left, right,
             out.data() + static_cast<size_t>(s) * per_sector);
    checksum += left.p1 + right.p1 + out[static_cast<size_t>(sectors) * per_sector - 1];
  }
  const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
  return ns / (static_cast<double>(kPassesPerRun) * sectors * per_sector);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  std::string text;
  std::getline(in, text);
  return text.empty() ? "unknown" : text;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
  const int sectors = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultSectors;
  const auto data = make_sectors(sectors);
  std::vector<int16_t> by_sector(static_cast<size_t>(sectors) * kSamplesPerSector);
  std::vector<int16_t> by_unit(by_sector.size());
  long long checksum = 0;

  std::printf("%d sectors, %d passes a run, median of %d runs; load %s\n", sectors, kPassesPerRun, runs,
              load_average().c_str());
  std::printf("%-14s %12s %14s %12s %14s %8s %s\n", "format", "sector ns/s", "sector Ms/s", "unit ns/s",
              "unit Ms/s", "speedup", "same");
  for (const Format& f : kFormats) {
    std::vector<double> sector_ns, unit_ns;
    for (int r = 0; r < runs; ++r) {
      sector_ns.push_back(time_once(decode_by_sector, f, data, sectors, by_sector, checksum));
      unit_ns.push_back(time_once(decode_by_unit, f, data, sectors, by_unit, checksum));
    }
    const double s = median(sector_ns);
    const double u = median(unit_ns);
    const bool same = by_sector == by_unit;
    std::printf("%-14s %12.3f %14.1f %12.3f %14.1f %7.2fx %s\n", f.name, s, 1e3 / s, u, 1e3 / u, u / s,
                same ? "yes" : "NO");
  }
  std::printf("checksum %lld; load %s\n", checksum, load_average().c_str());
  return 0;
}
