// The window surface's scaler: a picture enlarged by nearest neighbour, every
// screen pixel taking the source pixel under its centre, and nothing drawn
// outside the clip rectangle.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/nearest_scale.hpp"

namespace {

constexpr int32_t kPixel = 4;

struct Surface {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  Surface(int32_t w, int32_t h, uint32_t fill) : width(w), height(h), pixels(static_cast<size_t>(w * h), fill) {}
  uint8_t* bytes() { return reinterpret_cast<uint8_t*>(pixels.data()); }
  int32_t pitch() const { return width * kPixel; }
  uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Surface numbered(int32_t w, int32_t h) {
  Surface s(w, h, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) s.pixels[static_cast<size_t>(y * w + x)] = static_cast<uint32_t>(100 * y + x);
  return s;
}

TEST(NearestScale, EveryPixelRepeatsIntoASquare) {
  Surface source = numbered(2, 2);
  Surface screen(6, 6, 0xFFFFFFFF);
  scale_nearest_32(source.bytes(), source.pitch(), {0, 0, 2, 2}, screen.bytes(), screen.pitch(), {1, 1, 4, 4},
                   {0, 0, 6, 6});
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
      const uint32_t want = inside ? static_cast<uint32_t>(100 * ((y - 1) / 2) + (x - 1) / 2) : 0xFFFFFFFF;
      EXPECT_EQ(screen.at(x, y), want) << x << "," << y;
    }
}

TEST(NearestScale, UnevenFactorsTakeThePixelUnderEachCentre) {
  // Three source pixels over seven: the centres (i + 0.5) x 3 / 7 fall on 0 0 1 1 1 2 2 in x;
  // two rows over three: 0 1 1 in y.
  Surface source = numbered(3, 2);
  Surface screen(7, 3, 0);
  scale_nearest_32(source.bytes(), source.pitch(), {0, 0, 3, 2}, screen.bytes(), screen.pitch(), {0, 0, 7, 3},
                   {0, 0, 7, 3});
  const int32_t columns[] = {0, 0, 1, 1, 1, 2, 2};
  const int32_t rows[] = {0, 1, 1};
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x)
      EXPECT_EQ(screen.at(x, y), static_cast<uint32_t>(100 * rows[y] + columns[x])) << x << "," << y;
}

TEST(NearestScale, DrawsOnlyInsideTheClip) {
  // A destination larger than the screen, reaching past every edge.
  Surface source = numbered(4, 4);
  Surface screen(4, 4, 7);
  scale_nearest_32(source.bytes(), source.pitch(), {0, 0, 4, 4}, screen.bytes(), screen.pitch(), {-2, -2, 8, 8},
                   {1, 1, 2, 2});
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
      const uint32_t want = inside ? static_cast<uint32_t>(100 * ((y + 2) / 2) + (x + 2) / 2) : 7u;
      EXPECT_EQ(screen.at(x, y), want) << x << "," << y;
    }
}

}  // namespace
