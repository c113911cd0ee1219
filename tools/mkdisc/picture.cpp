// Synthetic pictures for the test movies, and padding to whole macroblocks.
// Everything is integer arithmetic so that every machine draws the same bytes.
#include "tools/mkdisc/picture.hpp"

#include <algorithm>

namespace mkdisc {

namespace {

constexpr int kMacroblockSize = 16;
constexpr int kFlashPeriod = 10;   // the flash pattern is white one frame in ten ...
constexpr int kFlashPhase = 5;     // ... from frame 5 on
constexpr int kFlashWhite = 255;

uint8_t clamp_byte(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// 0..255..0 over a period of 512.
int triangle(int phase) {
  phase &= 511;
  return phase < 256 ? phase : 511 - phase;
}

void set(RgbFrame& f, int x, int y, int r, int g, int b) {
  uint8_t* p = f.pixel(x, y);
  p[0] = clamp_byte(r);
  p[1] = clamp_byte(g);
  p[2] = clamp_byte(b);
}

void draw_gradient(RgbFrame& f, int index) {
  const int w = std::max(f.width, 1), h = std::max(f.height, 1);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      set(f, x, y, 40 + x * 176 / w + index * 3, 40 + y * 176 / h, 200 - (x + y) * 120 / (w + h) - index * 2);
}

// Is (x, y) inside the triangle head or the shaft of an upward arrow whose
// box is (ax, ay, size)?
bool in_arrow(int x, int y, int ax, int ay, int size) {
  const int dx = x - ax, dy = y - ay;
  if (dx < 0 || dy < 0 || dx >= size || dy >= size) return false;
  const int half = size / 2;
  if (dy < half) return std::abs(dx - half) * 2 <= dy * 2 * half / std::max(half, 1) + 1;
  return std::abs(dx - half) <= size / 8;
}

// The letter F in a box of (lx, ly, size): a stem, a top bar and a middle bar.
bool in_letter_f(int x, int y, int lx, int ly, int size) {
  const int dx = x - lx, dy = y - ly;
  if (dx < 0 || dy < 0 || dx >= size * 2 / 3 || dy >= size) return false;
  const int stroke = std::max(size / 6, 1);
  if (dx < stroke) return true;
  if (dy < stroke) return true;
  return dy >= size / 2 - stroke / 2 && dy < size / 2 + stroke / 2 + 1 && dx < size / 2;
}

void draw_sample(RgbFrame& f, int index) {
  const int w = std::max(f.width, 1), h = std::max(f.height, 1);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const int u = x * 512 / w, v = y * 512 / h;
      set(f, x, y, 30 + triangle(u + index * 12) * 3 / 4, 30 + triangle(v + index * 8 + 128) * 3 / 4,
          30 + triangle(u + v - index * 10 + 256) * 3 / 4);
    }
  const int unit = std::min(f.width, f.height);
  // Letter F, top left: white on a dark plate.
  const int fsize = std::max(unit / 4, 8);
  const int fx = unit / 16, fy = unit / 16;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      if (in_letter_f(x, y, fx + fsize / 8, fy + fsize / 8, fsize)) set(f, x, y, 250, 250, 250);
    }
  // Upward arrow, drifting from left to right along the lower half.
  const int asize = std::max(unit / 3, 8);
  const int travel = std::max(f.width - asize, 1);
  const int ax = (index * 6) % travel;
  const int ay = f.height - asize - unit / 12;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      if (in_arrow(x, y, ax, ay, asize)) set(f, x, y, 250, 220, 30);
  // A red disc circling on the right: moving colour and motion at once.
  const int radius = std::max(unit / 10, 3);
  const int cx = f.width * 3 / 4 + (triangle(index * 16) - 128) * unit / 1024;
  const int cy = f.height / 3 + (triangle(index * 16 + 128) - 128) * unit / 1024;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) set(f, x, y, 220, 30, 40);
}

void draw_bars(RgbFrame& f, int index) {
  static const int kBars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                  {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
  const int w = std::max(f.width, 1);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const int* c = kBars[x * 8 / w];
      set(f, x, y, c[0] * 3 / 4, c[1] * 3 / 4, c[2] * 3 / 4);
    }
  const int size = std::max(std::min(f.width, f.height) / 4, 1);
  const int bx = (index * 5) % std::max(f.width - size + 1, 1);
  const int by = (index * 3) % std::max(f.height - size + 1, 1);
  for (int y = by; y < std::min(by + size, f.height); ++y)
    for (int x = bx; x < std::min(bx + size, f.width); ++x) set(f, x, y, 240, 240, 240);
}

}  // namespace

bool is_flash_frame(int frame_index) { return frame_index % kFlashPeriod == kFlashPhase; }

RgbFrame make_frame(int width, int height) {
  RgbFrame f;
  f.width = width;
  f.height = height;
  f.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
  return f;
}

RgbFrame test_pattern(int width, int height, int frame_index, Pattern pattern) {
  RgbFrame f = make_frame(width, height);
  switch (pattern) {
    case Pattern::gradient: draw_gradient(f, frame_index); break;
    case Pattern::sample: draw_sample(f, frame_index); break;
    case Pattern::bars: draw_bars(f, frame_index); break;
    case Pattern::flash:
      if (is_flash_frame(frame_index)) std::fill(f.rgb.begin(), f.rgb.end(), kFlashWhite);
      break;
  }
  return f;
}

RgbFrame pad_to_macroblocks(const RgbFrame& frame) {
  const int w = (frame.width + kMacroblockSize - 1) / kMacroblockSize * kMacroblockSize;
  const int h = (frame.height + kMacroblockSize - 1) / kMacroblockSize * kMacroblockSize;
  if (w == frame.width && h == frame.height) return frame;
  RgbFrame out = make_frame(w, h);
  if (frame.width == 0 || frame.height == 0) return out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* src = frame.pixel(std::min(x, frame.width - 1), std::min(y, frame.height - 1));
      std::copy(src, src + 3, out.pixel(x, y));
    }
  return out;
}

}  // namespace mkdisc
