// RGB to luminance and two chroma planes for either colour convention, and
// back. Both conventions place Cr in block A and Cb in block B; they differ
// in the rounding of the decoder they aim at.
#include "tools/mkdisc/colour.hpp"

#include <algorithm>
#include <cmath>

namespace mkdisc {

namespace {

// The decoder's colour factors.
constexpr double kFactorWide = 1.402;     // the "Cr-like" chroma to its colour
constexpr double kFactorWider = 1.772;    // the "Cb-like" chroma to its colour
constexpr double kGreenOfWider = 0.3437;  // green's share of the 1.772 chroma
constexpr double kGreenOfWide = 0.7143;   // green's share of the 1.402 chroma
constexpr double kLevelOffset = 128.0;    // luminance is stored centred on 0
// korvane truncates its results; aiming half a level high rounds instead.
constexpr double kTruncationBias = 0.5;

enum Channel { kRed = 0, kGreen = 1, kBlue = 2 };

// Which RGB channel each factor feeds, and whether block A is the 1.402 one.
struct Layout {
  int wide_channel;     // gets Y + 1.402 * wide chroma
  int wider_channel;    // gets Y + 1.772 * wider chroma
  bool a_is_wide;
  double bias;
};

Layout layout_of(ColourConvention c) {
  if (c == ColourConvention::korvane) return {kRed, kBlue, true, kTruncationBias};
  return {kRed, kBlue, true, 0.0};
}

}  // namespace

YccPlanes rgb_to_planes(const RgbFrame& frame, ColourConvention convention) {
  const Layout L = layout_of(convention);
  const int w = frame.width, h = frame.height;
  const int cw = w / 2, ch = h / 2;
  YccPlanes p;
  p.width = w;
  p.height = h;
  p.luma.assign(static_cast<size_t>(w) * h, 0.0);
  p.chroma_a.assign(static_cast<size_t>(cw) * ch, 0.0);
  p.chroma_b.assign(static_cast<size_t>(cw) * ch, 0.0);
  const double a = kGreenOfWider / kFactorWider, b = kGreenOfWide / kFactorWide;
  // Chroma: the exact per-pixel solution averaged over each 2x2 square.
  std::vector<double> wide(static_cast<size_t>(cw) * ch, 0.0), wider(wide.size(), 0.0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* px = frame.pixel(x, y);
      const double cwide = px[L.wide_channel], cwider = px[L.wider_channel], g = px[kGreen];
      const double luma = (g + a * cwider + b * cwide) / (1.0 + a + b);
      const size_t ci = static_cast<size_t>(y / 2) * cw + x / 2;
      wide[ci] += (cwide - luma) / kFactorWide / 4.0;
      wider[ci] += (cwider - luma) / kFactorWider / 4.0;
    }
  // Luminance: the best fit of the three colours given the shared chroma.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* px = frame.pixel(x, y);
      const size_t ci = static_cast<size_t>(y / 2) * cw + x / 2;
      const double luma = ((px[L.wide_channel] - kFactorWide * wide[ci]) +
                           (px[kGreen] + kGreenOfWider * wider[ci] + kGreenOfWide * wide[ci]) +
                           (px[L.wider_channel] - kFactorWider * wider[ci])) / 3.0;
      p.luma[static_cast<size_t>(y) * w + x] = luma - kLevelOffset + L.bias;
    }
  p.chroma_a = L.a_is_wide ? wide : wider;
  p.chroma_b = L.a_is_wide ? wider : wide;
  return p;
}

RgbFrame planes_to_rgb(const YccPlanes& planes, ColourConvention convention) {
  const Layout L = layout_of(convention);
  RgbFrame f = make_frame(planes.width, planes.height);
  const int cw = planes.width / 2;
  for (int y = 0; y < planes.height; ++y)
    for (int x = 0; x < planes.width; ++x) {
      const size_t ci = static_cast<size_t>(y / 2) * cw + x / 2;
      const double wide = L.a_is_wide ? planes.chroma_a[ci] : planes.chroma_b[ci];
      const double wider = L.a_is_wide ? planes.chroma_b[ci] : planes.chroma_a[ci];
      const double luma = planes.luma[static_cast<size_t>(y) * planes.width + x] + kLevelOffset;
      double out[3];
      out[L.wide_channel] = luma + kFactorWide * wide;
      out[kGreen] = (luma - kGreenOfWider * wider) - kGreenOfWide * wide;
      out[L.wider_channel] = luma + kFactorWider * wider;
      uint8_t* px = f.pixel(x, y);
      for (int c = 0; c < 3; ++c) {
        const double v = L.bias > 0 ? std::trunc(out[c]) : std::round(out[c]);
        px[c] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
      }
    }
  return f;
}

}  // namespace mkdisc
