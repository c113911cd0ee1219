// One BMP file per frame: the output name followed by the frame number.
#include "output/bmp_writer.hpp"

#include <cstdio>
#include <string>

#include "common/errors.hpp"
#include "control/mode_flags.hpp"
#include "movie/colour.hpp"
#include "movie/movie_context.hpp"
#include "output/bmp_layout.hpp"

namespace {
constexpr int kSignatureBytes = 2;
constexpr int kFrameNumberTextBytes = 16;
}  // namespace

void write_bmp_frame() {
  char number[kFrameNumberTextBytes];
  std::snprintf(number, sizeof number, "%08d.BMP", movie.frame_counter);
  const std::string name = std::string(output_name) + number;
  FILE* file = open_or_fail(name.c_str(), "wb");

  const uint32_t width = movie.picture_width;
  const uint32_t height = movie.picture_height;
  uint8_t header[kBmpHeaderBytes];
  build_bmp_header(width, height, header);
  std::fwrite(header, 1, kSignatureBytes, file);
  if (std::fwrite(header + kSignatureBytes, 1, kBmpHeaderBytes - kSignatureBytes, file) !=
      kBmpHeaderBytes - kSignatureBytes)
    fatal_error(kErrWrite, "");

  const size_t row_bytes = static_cast<size_t>(width) * kBytesPerPixel;
  for (uint32_t row = height; row-- > 0;) {
    if (std::fwrite(movie.frame.picture + row * row_bytes, 1, row_bytes, file) != row_bytes)
      fatal_error(kErrWrite, "");
  }
  // The last rows reach the disc only when the stream is closed.
  if (std::fclose(file) != 0) fatal_error(kErrWrite, "");
}
