// The progress line and the writer of each converted frame.
#include "modes/convert/frame_output.hpp"

#include "io/avi_writer.hpp"
#include "io/bmp_writer.hpp"
#include "platform/console.hpp"

void print_frame_progress(uint32_t sector_after, uint32_t end_sector, int32_t frame_number) {
  console_printf("convert block %08x/%08x (frame = %d)\r", sector_after, end_sector, frame_number);
}

void write_converted_frame(MovieOutput output) {
  if (output == MovieOutput::Bmp)
    write_bmp_frame();
  else
    write_avi_frame();
}
