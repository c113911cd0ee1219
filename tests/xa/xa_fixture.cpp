// Helpers of the XA end-to-end tests.
#include "tests/xa/xa_fixture.hpp"

#include <cmath>
#include <cstdlib>

#include "base/byte_order.hpp"
#include "platform/text_encoding.hpp"
#include "tools/mkdisc/movie.hpp"

namespace xa_test {

mkdisc::SectorList lay_out(const mkdisc::SectorList& audio, int interleave, int first,
                           const mkdisc::Sector* filler) {
  const size_t count = first + (audio.size() - 1) * interleave + 1;
  mkdisc::SectorList out = mkdisc::gap_sectors(static_cast<int>(count));
  if (filler != nullptr) {
    for (auto& s : out) s = *filler;
  }
  for (size_t i = 0; i < audio.size(); ++i) out[first + i * interleave] = audio[i];
  return out;
}

uint32_t Wav::field32(int offset) const {
  return get_le32(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}
uint16_t Wav::field16(int offset) const {
  return get_le16(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

Wav read_wav(const std::string& path) {
  Wav wav;
  wav.bytes = read_file(path);
  const auto* p = reinterpret_cast<const uint8_t*>(wav.bytes.data());
  for (size_t at = 44; at + 1 < wav.bytes.size(); at += 2) {
    wav.samples.push_back(static_cast<int16_t>(get_le16(p + at)));
  }
  return wav;
}

double snr_db(const std::vector<int16_t>& reference, const std::vector<int16_t>& test,
              size_t count) {
  double signal = 0, noise = 0;
  for (size_t i = 0; i < count; ++i) {
    const double r = reference[i], d = r - test[i];
    signal += r * r;
    noise += d * d;
  }
  return noise == 0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

bool have_ffmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

ProcessResult run_korvane(const std::vector<std::string>& args, const std::string& dir) {
  std::vector<std::string> argv{KORVANE_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  ProcessOptions options;
  options.working_directory = dir;
  options.env.emplace_back("KORVANE_PATH", dir);
  return run_process(argv, options);
}

std::string cp932(const char* utf8) { return utf8_to_cp932(utf8); }

}  // namespace xa_test
