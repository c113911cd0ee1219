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
// dest: the macroblock's top-left pixel; stride: bytes from row to row.
void colour_macroblock(const double* blocks, uint8_t* dest, size_t stride);

// One pixel, exactly: Y' = Y + 128; p0 = Y' + 1.402B; p1 = (Y' - 0.3437A) -
// 0.7143B; p2 = Y' + 1.772A; each truncated, taken as 16 bits, limited to 0..255.
void colour_pixel(double y, double a, double b, uint8_t* pixel);
