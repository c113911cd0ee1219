// Colour conversion of one macroblock: the two chroma blocks enlarged to
// 16x16 by repeating each sample into a 2x2 square, each pixel turned into
// three bytes p0, p1, p2 (blue, green, red as the writers store them).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMacroblockPixels = 16;
constexpr int kBytesPerPixel = 3;

// blocks: the macroblock's six transformed blocks (A, B, then the luminance
// quarters top-left, top-right, bottom-left, bottom-right), 64 doubles each.
// dest: the macroblock's top-left pixel; stride: bytes from a row to the
// row below it (negative in a picture stored bottom row first).
using ColourMacroblockFn = void (*)(const double* blocks, uint8_t* dest, ptrdiff_t stride);
void colour_macroblock(const double* blocks, uint8_t* dest, ptrdiff_t stride);
void colour_macroblock_sse2(const double* blocks, uint8_t* dest, ptrdiff_t stride);
void colour_macroblock_avx2(const double* blocks, uint8_t* dest, ptrdiff_t stride);  // where AVX2 is

// The chroma products of one macroblock, one per chroma sample; every
// variant adds them to the level-shifted luminance in the formula's order.
struct ChromaProducts {
  double blue_b[64], green_a[64], green_b[64], red_a[64];
};
void chroma_products(const double* a, const double* b, ChromaProducts& out);

// One pixel, exactly: Y' = Y + 128; p0 = Y' + 1.402B; p1 = (Y' - 0.3437A) -
// 0.7143B; p2 = Y' + 1.772A; each truncated, taken as 16 bits, limited to 0..255.
void colour_pixel(double y, double a, double b, uint8_t* pixel);
