// Running the viewer in the test process: synthesised movies written as
// sector files, the process-wide records reset between runs, and the fake
// devices installed in place of SDL and the system clock.
#pragma once

#include <string>

#include "tests/support/temp_dir.hpp"
#include "tests/viewer/fake_devices.hpp"
#include "tools/mkdisc/movie.hpp"

struct PlaybackHarness {
  FakeClock clock;
  FakeDisplay display;
  FakeSound sound;
  TempDir dir;

  // Resets every record the viewer reads to the program's start values,
  // with StartWait 0, and installs the fakes.
  PlaybackHarness();
  ~PlaybackHarness();

  // Writes the sectors as a plain sector file and opens it as the input.
  void load(const mkdisc::SectorList& sectors);
};

// A small movie: width x height, frames frames, 37800 Hz stereo audio
// interleaved (one sector in 8, ten sectors a frame).
mkdisc::Movie small_movie(int frames, int width = 64, int height = 48, bool audio = true);

// Peak signal-to-noise ratio, in dB, of the picture surface of a flip
// against a source picture (surface bytes blue, green, red).
double surface_psnr(const FakeDisplay& display, const std::vector<uint8_t>& picture,
                    const mkdisc::RgbFrame& source, int scale);
