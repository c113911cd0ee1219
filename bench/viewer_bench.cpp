// Viewer pipeline speed: decoded-and-drawn frames per second of each
// variant (float with the plain or SIMD converter, fixed point, filter) on
// a synthesised 320x240 movie, without pacing, against the 30 frames a
// second that playback needs at most.
#include <chrono>
#include <cstdio>
#include <vector>

#include "format/mdec/mdec_tables.hpp"
#include "format/viewer/clamp_table.hpp"
#include "format/viewer/routine_table.hpp"
#include "format/viewer/viewer_decoder.hpp"
#include "tools/mkdisc/movie.hpp"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFrames = 60;
constexpr int kRounds = 5;
constexpr double kNeededRate = 30.0;

struct Variant {
  const char* name;
  bool mmx;
  int32_t fixed;
  int32_t filter;
};

}  // namespace

int main() {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = kWidth;
  movie_spec.height = kHeight;
  movie_spec.frames = kFrames;
  movie_spec.pattern = mkdisc::Pattern::sample;
  const mkdisc::Movie movie = mkdisc::build_movie(movie_spec);
  fill_clamp_table();

  const uint32_t macroblocks = (kWidth / 16) * (kHeight / 16);
  std::vector<int16_t> coefficients((macroblocks * 6 + 1) * 64);
  std::vector<uint8_t> samples(macroblocks * 6144);
  const Variant variants[] = {
      {"float, plain converter", false, 0, 0},
      {"float, SIMD converter", true, 0, 0},
      {"fixed point", true, 1, 0},
      {"filter (picture doubled)", true, 0, 1},
  };
  std::printf("viewer pipeline, %dx%d, %d frames x %d rounds, pacing off\n", kWidth, kHeight,
              kFrames, kRounds);
  for (const Variant& v : variants) {
    int32_t fixed = v.fixed, filter = v.filter;
    const RoutineTable table = select_routines(v.mmx, fixed, filter);
    const int scale = static_cast<int>(table.surface_scale);
    const int pitch = kWidth * scale * 4;
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * kHeight * scale);
    const Surface target{surface.data(), pitch, 4};
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
      for (const auto& bitstream : movie.bitstreams) {
        const uint32_t quant = bitstream[4] | (bitstream[5] << 8);
        if (viewer_decode_v2(bitstream.data() + kFrameHeaderBytes, bitstream.size() - kFrameHeaderBytes,
                             macroblocks, coefficients.data() + 64) != DecodeStatus::kOk) {
          std::fprintf(stderr, "decode failed\n");
          return 1;
        }
        viewer_dequantise(coefficients.data(), macroblocks * 6, quant);
        table.transform_frame(coefficients.data(), macroblocks * 6, samples.data());
        table.draw_frame(samples.data(), kWidth / 16, kHeight / 16, target, table.convert_quadrant);
      }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double rate = kFrames * kRounds / seconds;
    std::printf("  %-26s %8.1f frames/s  (%.1f x the %.0f needed)\n", v.name, rate,
                rate / kNeededRate, kNeededRate);
  }
  return 0;
}
