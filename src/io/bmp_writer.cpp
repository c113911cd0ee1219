// One BMP file per frame: the output name followed by the frame number.
#include "io/bmp_writer.hpp"

#include <cstdio>
#include <string>

#include "format/mdec/colour.hpp"
#include "format/riff/bmp_layout.hpp"
#include "io/output_file.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

namespace {
constexpr int kSignatureBytes = 2;
constexpr int kFrameNumberTextBytes = 16;
}  // namespace

void write_bmp_frame() {
  char number[kFrameNumberTextBytes];
  std::snprintf(number, sizeof number, "%08d.BMP", movie.frame_counter);
  const std::string name = std::string(output_name) + number;
  FILE* file = create_output_or_fail(name.c_str());

  const uint32_t width = movie.picture_width;
  const uint32_t height = movie.picture_height;
  uint8_t header[kBmpHeaderBytes];
  build_bmp_header(width, height, header);
  std::fwrite(header, 1, kSignatureBytes, file);
  if (std::fwrite(header + kSignatureBytes, 1, kBmpHeaderBytes - kSignatureBytes, file) !=
      kBmpHeaderBytes - kSignatureBytes)
    fatal_error(kErrWrite, "");

  // The picture is kept bottom row first, the order of the file.
  const size_t image_bytes = static_cast<size_t>(width) * height * kBytesPerPixel;
  if (std::fwrite(movie.frame.picture, 1, image_bytes, file) != image_bytes) fatal_error(kErrWrite, "");
  // The last rows reach the disc only when the stream is closed.
  if (std::fclose(file) != 0) fatal_error(kErrWrite, "");
}
