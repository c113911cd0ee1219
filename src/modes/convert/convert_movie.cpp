// The movie conversion driver: frame after frame is assembled, decoded,
// transformed, built into a picture and handed to the BMP or AVI writer.
#include "modes/convert/convert_movie.hpp"

#include "base/messages.hpp"
#include "format/mdec/colour.hpp"
#include "io/avi_writer.hpp"
#include "io/bmp_writer.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "platform/console.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

namespace {
constexpr int kSectorMode2336 = 1;
}  // namespace

void convert_movie(MovieOutput output) {
  set_sector_mode(kSectorMode2336);
  while (assemble_frame()) {
    console_printf(message_text(Msg::ConvertMovieProgress), static_cast<uint32_t>(current_sector),
                   static_cast<uint32_t>(end_sector), movie.frame_counter);
    movie.macroblock_count =
        (movie.picture_height / kMacroblockPixels) * (movie.picture_width / kMacroblockPixels);
    build_frame_picture(mode_is(kModeWidth));
    if (output == MovieOutput::Bmp) write_bmp_frame();
    if (output == MovieOutput::Avi) write_avi_frame();
  }
  console_text("\n");
  release_frame_buffers();
}
