// RGB pictures the encoder takes: 3 bytes a pixel in the order red, green,
// blue, top row first, no row padding; and the synthetic pictures of the
// test movies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkdisc {

struct RgbFrame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3, R G B

  const uint8_t* pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  uint8_t* pixel(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

RgbFrame make_frame(int width, int height);

// Pictures that change with the frame index. `gradient`: smooth colour
// ramps that drift, easy to compress. `sample`: the README's movie, a moving
// colour gradient with an upright arrow and an "F" in the top-left corner, so
// a flipped or mirrored picture shows at once. `bars`: hard-edged colour bars
// with a moving block (stresses the encoder). `flash`: black, with a white
// picture on every frame whose index is 5 more than a multiple of 10 (a
// moment that can be found again in a player's output).
enum class Pattern { gradient, sample, bars, flash };

// Whether frame `frame_index` of the flash pattern is the white one.
bool is_flash_frame(int frame_index);

RgbFrame test_pattern(int width, int height, int frame_index, Pattern pattern = Pattern::gradient);

// The frame grown to multiples of 16 by repeating its last column and row, as
// the decoder works on whole macroblocks.
RgbFrame pad_to_macroblocks(const RgbFrame& frame);

}  // namespace mkdisc
