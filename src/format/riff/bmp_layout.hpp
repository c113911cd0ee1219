// The 54-byte header of a 24-bit bottom-up BMP file.
#pragma once

#include <cstdint>

constexpr int kBmpHeaderBytes = 54;

void build_bmp_header(uint32_t width, uint32_t height, uint8_t* header);
