// Synthetic test sound: a tone sweep (rising on the left, falling on the
// right) or a little melody, at a comfortable level.
#include "tools/mkdisc/pcm.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkdisc {

namespace {

constexpr double kAmplitude = 12000.0;      // well below full scale
constexpr double kSweepLow = 220.0;         // Hz
constexpr double kSweepHigh = 1760.0;       // three octaves up
constexpr double kNoteSeconds = 0.25;
constexpr double kA4 = 440.0;
constexpr int kSemitonesPerOctave = 12;
// "Twinkle, twinkle": semitones from A4, one note a step, then a rest.
constexpr int kTune[] = {-9, -9, -2, -2, 0, 0, -2, 99, -4, -4, -5, -5, -7, -7, -9, 99};
constexpr int kRest = 99;

int16_t to_sample(double v) { return static_cast<int16_t>(std::lround(v * kAmplitude)); }

}  // namespace

std::vector<int16_t> make_pcm(Sound sound, int rate, bool stereo, size_t frames) {
  const int channels = stereo ? 2 : 1;
  std::vector<int16_t> out(frames * channels, 0);
  if (sound == Sound::silence || frames == 0) return out;
  const double two_pi = 2.0 * std::numbers::pi;
  double phase[2] = {0.0, 0.0};
  const double ratio = kSweepHigh / kSweepLow;
  const double note_len = kNoteSeconds * rate;
  const int tune_len = static_cast<int>(sizeof kTune / sizeof kTune[0]);
  for (size_t i = 0; i < frames; ++i) {
    const double progress = static_cast<double>(i) / static_cast<double>(frames);
    for (int c = 0; c < channels; ++c) {
      double v = 0.0;
      if (sound == Sound::sweep) {
        const double p = c == 0 ? progress : 1.0 - progress;
        const double freq = kSweepLow * std::pow(ratio, p);
        phase[c] += two_pi * freq / rate;
        v = std::sin(phase[c]);
      } else {
        const size_t note_index = static_cast<size_t>(static_cast<double>(i) / note_len);
        const int semis = kTune[note_index % tune_len];
        const double in_note = static_cast<double>(i) - static_cast<double>(note_index) * note_len;
        const double t = in_note / rate;
        if (semis != kRest) {
          const double freq = kA4 * std::pow(2.0, static_cast<double>(semis) / kSemitonesPerOctave);
          const double envelope = std::exp(-3.0 * t / kNoteSeconds) * std::min(1.0, in_note / 64.0);
          const double tone = c == 0 ? std::sin(two_pi * freq * t)
                                     : 0.7 * std::sin(two_pi * freq * t) + 0.3 * std::sin(two_pi * 2 * freq * t);
          v = envelope * tone;
        }
      }
      out[i * channels + c] = to_sample(v);
    }
  }
  return out;
}

}  // namespace mkdisc
