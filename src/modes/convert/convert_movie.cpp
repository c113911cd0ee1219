// The movie conversion driver: frame after frame is assembled, decoded,
// transformed, built into a picture and handed to the BMP or AVI writer,
// on this thread alone or with decoding threads beside it.
#include "modes/convert/convert_movie.hpp"

#include "format/timing/movie_rate.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/convert_on_workers.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "modes/convert/frame_output.hpp"
#include "platform/console.hpp"
#include "platform/thread_count.hpp"
#include "state/movie_context.hpp"

namespace {

void convert_frames(MovieOutput output) {
  while (assemble_frame()) convert_assembled_frame(output);
}

}  // namespace

void convert_movie(MovieOutput output) {
  set_sector_mode(kSectorMode2336);
  start_rate_evidence(movie.rate_evidence, static_cast<uint8_t>(movie.file_number),
                      static_cast<uint8_t>(movie.channel_number));
  const unsigned threads = thread_count();
  if (threads > 1)
    convert_frames_on_workers(threads, output);
  else
    convert_frames(output);
  console_text("\n");
  release_frame_buffers();
}
