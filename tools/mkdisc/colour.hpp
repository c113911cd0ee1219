// The colour conventions the encoder can target. The MDEC picture is a
// luminance plane and two half-resolution chroma planes (block 0 "A" and
// block 1 "B" of each macroblock), read as the console reads them: A is Cr
// and B is Cb, red = Y + 1.402 A, green = Y - 0.3437 B - 0.7143 A,
// blue = Y + 1.772 B.
//  - console: aimed at a decoder that rounds its results (ffmpeg).
//  - korvane: the same reading, aimed at korvane's converter, which
//    truncates: luminance is raised by half a level.
#pragma once

#include <vector>

#include "tools/mkdisc/picture.hpp"

namespace mkdisc {

enum class ColourConvention { korvane, console };

// Planes centred on 0: luma has width*height samples (Y - 128), chroma
// (width/2)*(height/2) each. The frame's size must be a multiple of 16.
struct YccPlanes {
  int width = 0;
  int height = 0;
  std::vector<double> luma;
  std::vector<double> chroma_a;  // block 0
  std::vector<double> chroma_b;  // block 1
};

YccPlanes rgb_to_planes(const RgbFrame& frame, ColourConvention convention);

// The inverse, with the decoder's rounding (truncation, limited to 0..255);
// used to predict what a decoder shows.
RgbFrame planes_to_rgb(const YccPlanes& planes, ColourConvention convention);

}  // namespace mkdisc
