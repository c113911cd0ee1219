#include "format/riff/bmp_layout.hpp"

#include <cstring>

#include "base/byte_order.hpp"

namespace {
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPlanes = 1;
constexpr uint32_t kBitsPerPixel = 24;
constexpr uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch
constexpr uint32_t kBytesPerPixel = 3;
}  // namespace

void build_bmp_header(uint32_t width, uint32_t height, uint8_t* h) {
  const uint32_t image_bytes = width * height * kBytesPerPixel;
  std::memset(h, 0, kBmpHeaderBytes);
  h[0] = 'B';
  h[1] = 'M';
  put_le32(h + 2, image_bytes + kBmpHeaderBytes);
  put_le32(h + 10, kBmpHeaderBytes);
  put_le32(h + 14, kInfoHeaderBytes);
  put_le32(h + 18, width);
  put_le32(h + 22, height);
  put_le16(h + 26, kPlanes);
  put_le16(h + 28, kBitsPerPixel);
  put_le32(h + 34, image_bytes);
  put_le32(h + 38, kPixelsPerMetre);
  put_le32(h + 42, kPixelsPerMetre);
}
