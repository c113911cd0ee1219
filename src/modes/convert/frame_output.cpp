// The progress line and the writer of each converted frame.
#include "modes/convert/frame_output.hpp"

#include "base/messages.hpp"
#include "io/avi_writer.hpp"
#include "io/bmp_writer.hpp"
#include "format/mdec/colour.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "modes/convert/movie_sound.hpp"
#include "platform/console.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

void print_frame_progress(uint32_t sector_after, uint32_t range_end, int32_t frame_number) {
  console_printf(message_text(Msg::ConvertMovieProgress), sector_after, range_end, frame_number);
}

void write_converted_frame(MovieOutput output) {
  switch (output) {
    case MovieOutput::Bmp:
      write_bmp_frame();
      break;
    case MovieOutput::Avi:
      write_avi_frame();
      break;
    case MovieOutput::None:
      break;
  }
}

void convert_assembled_frame(MovieOutput output) {
  print_frame_progress(static_cast<uint32_t>(current_sector), static_cast<uint32_t>(end_sector),
                       movie.frame_counter);
  movie.macroblock_count =
      (movie.picture_height / kMacroblockPixels) * (movie.picture_width / kMacroblockPixels);
  build_frame_picture(mode_is(kModeWidth));
  if (output == MovieOutput::Avi) sound_before_frame(static_cast<uint32_t>(current_sector));
  write_converted_frame(output);
}
