// -analyze: the sector-by-sector search for movies and the record of them.
// With -disc-analyze on a disc whose directory is known, a movie's walk ends
// at the end of the file it starts in.
#include <cstdio>
#include <vector>

#include "base/exit_finishers.hpp"
#include "base/messages.hpp"
#include "format/catalogue/scan_resume.hpp"
#include "format/disc/iso9660_files.hpp"
#include "io/catalogue_record.hpp"
#include "io/disc_files.hpp"
#include "io/sector_source.hpp"
#include "modes/catalogue/catalogue.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "modes/scan/movie_table.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "state/catalogue_state.hpp"
#include "state/movie_context.hpp"

namespace {

void print_progress() {
  console_printf("%08x/%08x%s", static_cast<unsigned>(current_sector),
                 static_cast<unsigned>(end_sector), "\r");
}

// Walks the movie that opens at current_sector and adds its entry, with its
// first sector and where the walk stopped, to the record: an entry goes in
// whole or not at all. current_sector is left where the walk stopped.
void record_movie() {
  const int32_t first = current_sector;
  movie.file_number = sector_buffer[kFileNumberOffset];
  movie.channel_number = sector_buffer[kChannelNumberOffset];
  set_entry_index(catalogue.entry_name, catalogue.base_end, catalogue.movie_count);
  movie.frame_counter = 0;
  movie.last_video_sector = current_sector;
  while (assemble_frame(FrameData::Skip)) print_progress();
  add_entry_line(catalogue.record, catalogue.entry_name);
  add_sector_line(catalogue.record, first);
  add_sector_line(catalogue.record, current_sector);
  ++catalogue.movie_count;
}

}  // namespace

void analyze_movies() {
  open_catalogue();
  const std::vector<int32_t> file_bounds = whole_disc_file_boundaries();
  set_sector_mode(kSectorMode2336);
  console_text(message_text(Msg::AddingFileInfo));
  catalogue.movie_count = 0;
  while (current_sector < end_sector) {
    print_progress();
    read_sectors(current_sector, 1, sector_buffer);
    if (begins_movie(sector_buffer)) {
      const int32_t first = current_sector;
      const int32_t range_end = end_sector;
      end_sector = next_file_boundary(file_bounds, first, range_end);
      record_movie();
      end_sector = range_end;
      current_sector = resume_sector(first, movie.last_video_sector);
    } else {
      ++current_sector;
    }
  }
  add_closing_line(catalogue.record);
  remove_exit_finisher(append_record_early);
  // A record the disc cannot take must not pass for a finished analysis.
  if (!append_catalogue_record()) fatal_error(kErrWrite, "FILE.INF\n");
}
