// Synthetic 16-bit PCM for the test movies: tone sweeps and a melody,
// interleaved left/right when stereo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkdisc {

enum class Sound { sweep, melody, silence };

// `frames` sample frames at `rate`; deterministic. The sweep rises from
// 220 Hz to 1760 Hz on the left and falls on the right; the melody plays a
// simple tune with a slightly different voice on each side.
std::vector<int16_t> make_pcm(Sound sound, int rate, bool stereo, size_t frames);

}  // namespace mkdisc
