// -analyze: the sector-by-sector search for movies and the record of them.
#include <cstdio>

#include "base/messages.hpp"
#include "format/catalogue/scan_resume.hpp"
#include "io/catalogue_record.hpp"
#include "io/sector_source.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "modes/scan/movie_table.hpp"
#include "platform/console.hpp"
#include "state/catalogue_state.hpp"
#include "state/movie_context.hpp"

namespace {

void print_progress() {
  console_printf("%08x/%08x%s", static_cast<unsigned>(current_sector),
                 static_cast<unsigned>(end_sector), "\r");
}

// Writes the entry of the movie that opens at current_sector, walks it, and
// writes where the walk stopped. current_sector is left there.
void record_movie() {
  movie.file_number = sector_buffer[kFileNumberOffset];
  movie.channel_number = sector_buffer[kChannelNumberOffset];
  set_entry_index(catalogue.entry_name, catalogue.base_end, catalogue.movie_count);
  require_written(write_entry_line(catalogue.stream, catalogue.entry_name));
  require_written(write_sector_line(catalogue.stream, current_sector));
  movie.frame_counter = 0;
  while (assemble_frame(FrameData::Skip)) print_progress();
  require_written(write_sector_line(catalogue.stream, current_sector));
  ++catalogue.movie_count;
}

}  // namespace

void analyze_movies() {
  open_catalogue();
  set_sector_mode(1);
  console_text(message_text(Msg::AddingFileInfo));
  catalogue.movie_count = 0;
  while (current_sector < end_sector) {
    print_progress();
    read_sectors(current_sector, 1, sector_buffer);
    if (begins_movie(sector_buffer)) {
      const int32_t first = current_sector;
      record_movie();
      current_sector = resume_sector(first, current_sector);
    } else {
      ++current_sector;
    }
  }
  require_written(write_closing_line(catalogue.stream));
  // A record the disc cannot take must not pass for a finished analysis.
  require_written(std::fflush(catalogue.stream) == 0);
}
