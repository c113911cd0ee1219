// The progress line and the writer of each converted frame.
#include "modes/convert/frame_output.hpp"

#include "base/messages.hpp"
#include "io/avi_writer.hpp"
#include "io/bmp_writer.hpp"
#include "modes/convert/movie_sound.hpp"
#include "platform/console.hpp"

void print_frame_progress(uint32_t sector_after, uint32_t end_sector, int32_t frame_number) {
  console_printf(message_text(Msg::ConvertMovieProgress), sector_after, end_sector, frame_number);
}

void write_converted_frame(MovieOutput output, uint32_t frame_end) {
  switch (output) {
    case MovieOutput::Bmp:
      write_bmp_frame();
      break;
    case MovieOutput::Avi:
      sound_before_frame(frame_end);
      write_avi_frame();
      break;
    case MovieOutput::None:
      break;
  }
}
