// The progress line and the writer of each converted frame.
#include "modes/convert/frame_output.hpp"

#include "io/avi_writer.hpp"
#include "io/bmp_writer.hpp"
#include "platform/console.hpp"
#include "state/mode_flags.hpp"

void print_frame_progress(uint32_t sector_after, uint32_t end_sector, int32_t frame_number) {
  console_printf("convert block %08x/%08x (frame = %d)\r", sector_after, end_sector, frame_number);
}

void write_converted_frame() {
  if (mode_is(kModeBmp)) write_bmp_frame();
  if (mode_is(kModeAvi)) write_avi_frame();
}
