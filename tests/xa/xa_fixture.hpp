// Helpers of the XA end-to-end tests: streams laid out at an interleave,
// WAV files read back, signal-to-noise ratios, and running korvane.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/process.hpp"
#include "tools/mkdisc/sector.hpp"

namespace xa_test {

// Audio sector i at position first + i * interleave; the other places hold
// `filler` sectors (gap sectors when filler is empty).
mkdisc::SectorList lay_out(const mkdisc::SectorList& audio, int interleave, int first = 0,
                           const mkdisc::Sector* filler = nullptr);

struct Wav {
  std::string bytes;             // the whole file
  std::vector<int16_t> samples;  // the data after the 44-byte header
  uint32_t field32(int offset) const;
  uint16_t field16(int offset) const;
};
Wav read_wav(const std::string& path);

// 10 log10(signal power / error power) over the first `count` samples.
double snr_db(const std::vector<int16_t>& reference, const std::vector<int16_t>& test,
              size_t count);

bool have_ffmpeg();

// korvane with the arguments; the working directory is `dir`.
ProcessResult run_korvane(const std::vector<std::string>& args, const std::string& dir);

// Program text as it reaches standard output (CP932) and report files.
std::string cp932(const char* utf8);

}  // namespace xa_test
