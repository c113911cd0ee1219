// The colour factors are single-precision constants used in double
// precision. The chroma products are formed once per chroma sample and
// shared by the four pixels it covers; each pixel then adds them in the
// formula's order, so the results are those of the per-pixel formula.
#include "format/mdec/colour.hpp"

#include "format/mdec/mdec_tables.hpp"

namespace {

constexpr double kLevelOffset = 128.0;
constexpr double kBlueFromB = static_cast<double>(1.402f);
constexpr double kGreenFromA = static_cast<double>(0.3437f);
constexpr double kGreenFromB = static_cast<double>(0.7143f);
constexpr double kRedFromA = static_cast<double>(1.772f);
constexpr int kMaxByte = 255;

inline uint8_t limit_component(double v) {
  const int16_t s = static_cast<int16_t>(static_cast<int32_t>(v));
  return static_cast<uint8_t>(s < 0 ? 0 : (s > kMaxByte ? kMaxByte : s));
}

}  // namespace

void chroma_products(const double* a, const double* b, ChromaProducts& out) {
  for (int i = 0; i < kCoefficientsPerBlock; ++i) {
    out.blue_b[i] = kBlueFromB * b[i];
    out.green_a[i] = kGreenFromA * a[i];
    out.green_b[i] = kGreenFromB * b[i];
    out.red_a[i] = kRedFromA * a[i];
  }
}


void colour_pixel(double y, double a, double b, uint8_t* pixel) {
  const double level = y + kLevelOffset;
  pixel[0] = limit_component(level + kBlueFromB * b);
  pixel[1] = limit_component((level - kGreenFromA * a) - kGreenFromB * b);
  pixel[2] = limit_component(level + kRedFromA * a);
}

void colour_macroblock(const double* blocks, uint8_t* dest, ptrdiff_t stride) {
  ChromaProducts t;
  chroma_products(blocks, blocks + kCoefficientsPerBlock, t);

  for (int py = 0; py < kMacroblockPixels; ++py) {
    uint8_t* out = dest + py * stride;
    for (int half = 0; half < 2; ++half) {
      const double* luma = blocks + (2 + (py / 8) * 2 + half) * kCoefficientsPerBlock + (py % 8) * 8;
      const int chroma = (py / 2) * 8 + half * 4;
      for (int px = 0; px < 8; ++px, out += kBytesPerPixel) {
        const int c = chroma + px / 2;
        const double level = luma[px] + kLevelOffset;
        out[0] = limit_component(level + t.blue_b[c]);
        out[1] = limit_component((level - t.green_a[c]) - t.green_b[c]);
        out[2] = limit_component(level + t.red_a[c]);
      }
    }
  }
}
