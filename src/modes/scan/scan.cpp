// scan_all: a movie pass that converts every movie of the range into a
// numbered AVI, then an audio pass over the sectors no conversion used, each
// stream into a numbered WAV, with a report of everything converted. On a
// disc whose directory is known no movie or stream runs past the end of the
// file it starts in; a movie's audio is the audio within its frames' span.
#include "modes/scan/scan.hpp"

#include <cstdio>
#include <cstring>

#include "base/messages.hpp"
#include "format/disc/iso9660_files.hpp"
#include "io/avi_writer.hpp"
#include "io/disc_files.hpp"
#include "io/output_file.hpp"
#include "io/sector_source.hpp"
#include "io/sector_survey.hpp"
#include "modes/convert/convert_movie.hpp"
#include "modes/convert/movie_sound.hpp"
#include "modes/convert/output_stage.hpp"
#include "modes/convert/xa_stream.hpp"
#include "modes/scan/found_audio.hpp"
#include "modes/scan/movie_table.hpp"
#include "modes/scan/scan_report.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"
#include "platform/console.hpp"
#include "platform/interrupt_signals.hpp"
#include "platform/thread_count.hpp"
#include "state/mode_flags.hpp"
#include "state/output_name_end.hpp"
#include "state/scan_state.hpp"

namespace {

// One entry of the movie table stays free for the scan-end sentinel.
constexpr int kMaxMovies = kMovieTableEntries - 1;

// "%08x/%08x\r" of the sector and the end, formatted here rather than by
// printf: both passes print it for every sector they look at.
void print_scan_progress(uint32_t sector, uint32_t end) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  constexpr int kDigits = 8;
  constexpr int kBitsPerDigit = 4;
  char line[] = "00000000/00000000\r";
  for (int i = 0; i < kDigits; ++i) {
    const int shift = (kDigits - 1 - i) * kBitsPerDigit;
    line[i] = kHexDigits[(sector >> shift) & 0xF];
    line[kDigits + 1 + i] = kHexDigits[(end >> shift) & 0xF];
  }
  console_raw(line);
}

void select_sector_numbers() {
  movie.file_number = sector_buffer[kFileNumberOffset];
  movie.channel_number = sector_buffer[kChannelNumberOffset];
}

// The end of the file the sector lies in, or the scan end.
int32_t file_end_of(int32_t sector) {
  return next_file_boundary(scan_state.file_bounds, sector, scan_state.scan_end);
}

void convert_found_movie(int32_t start) {
  console_text("\n");
  console_text(message_text(Msg::MovieFound));
  const int k = scan_state.movie_count;
  scan_state.movies[k].start = start;
  select_sector_numbers();
  current_sector = start;
  set_numbered_name(k, ".avi");

  end_sector = file_end_of(start);
  open_avi();
  if (mode_is(kModeWithSound))
    begin_soundtrack(SoundtrackChoice::scan_link, static_cast<uint32_t>(start),
                     static_cast<uint32_t>(scan_state.scan_end));
  convert_movie(MovieOutput::Avi);
  finish_soundtrack(static_cast<uint32_t>(current_sector));
  finish_avi();
  end_sector = scan_state.scan_end;

  scan_state.movies[k].end = movie_span_end(start, movie.last_frame_start, movie.frame_counter - 1,
                                            movie.last_video_sector, current_sector);
  scan_state.movie_count = k + 1;
  movie.frame_counter = 0;
  movie.max_chunks = 0;

  report_printf("%s\n", output_name);
  report_offsets(start, current_sector);
  scan_state.movies[k + 1].start = scan_state.scan_end;
}

// What the movie pass needs to know of a sector it does not convert.
constexpr uint8_t kLookedAt = 1;
constexpr uint8_t kHoldsAudio = 2;
constexpr uint8_t kBeginsMovie = 4;

uint8_t look_at_sector(const uint8_t* sector) {
  return static_cast<uint8_t>(kLookedAt | (is_audio_sector(sector) ? kHoldsAudio : 0) |
                              (begins_movie(sector) ? kBeginsMovie : 0));
}

void movie_pass_sectors() {
  for (int32_t b = scan_state.scan_start; b < end_sector; ++b) {
    print_scan_progress(static_cast<uint32_t>(b), static_cast<uint32_t>(end_sector));
    if (sector_is_used(b)) continue;
    // A sector surveyed beside the pass is read only when a movie begins there.
    uint8_t seen = surveyed(b);
    if (seen == 0) {
      read_sectors(b, 1, sector_buffer);
      seen = look_at_sector(sector_buffer);
    } else {
      stop_if_interrupted();
      if ((seen & kBeginsMovie) != 0) read_sectors(b, 1, sector_buffer);
    }
    if ((seen & kHoldsAudio) == 0) note_not_audio(b);
    if ((seen & kBeginsMovie) == 0) continue;
    if (scan_state.movie_count == kMaxMovies) {
      // The table is full: the movies converted so far stand, the rest are
      // left out and their audio is converted as ordinary audio.
      console_text("\n");
      console_printf(message_text(Msg::TooManyMovies), kMaxMovies);
      return;
    }
    convert_found_movie(b);
  }
}

void movie_pass() {
  console_text(message_text(Msg::LookingForMovies));
  // With a thread to spare, the sectors ahead are read and looked at beside
  // the pass, which then reads only the movies it converts.
  if (thread_count() > 1) start_sector_survey(scan_state.scan_start, end_sector, look_at_sector);
  movie_pass_sectors();
  stop_sector_survey();
}

void convert_audio_at(int32_t b) {
  console_text("\n");
  console_text(message_text(Msg::AudioFound));
  select_sector_numbers();
  current_sector = b;

  int linked = linked_movie(scan_state.movies, scan_state.movie_count, b);
  // Audio of another file is never a movie's, even one sector before it.
  if (linked >= 0 && file_end_of(b) <= scan_state.movies[linked].start) linked = -1;
  char movie_avi[kNameBufferSize + 16] = "";
  if (linked >= 0) {
    cut_to_base_name();
    std::snprintf(movie_avi, sizeof movie_avi, "%s%04d.avi", output_name, linked);
    console_printf(message_text(Msg::AudioOfMovie), movie_avi);
    end_sector = scan_state.movies[linked].end;
  } else {
    console_text("\n");
    end_sector = next_movie_start(scan_state.movies, scan_state.movie_count, b,
                                  scan_state.scan_end);
    const int32_t file_end = file_end_of(b);
    if (file_end < end_sector) end_sector = file_end;
  }

  // A lone sector is no stream: no file is written for it.
  if (!find_xa_stream()) {
    end_sector = scan_state.scan_end;
    return;
  }
  if (linked >= 0) set_numbered_name(scan_state.linked_audio_number++, ".wav");
  convert_found_audio(linked >= 0);
  output_history_reset();
  end_sector = scan_state.scan_end;

  if (linked >= 0) {
    report_printf(message_text(Msg::ReportAudioOfMovie), output_name, movie_avi);
    report_offsets(b, current_sector);
  }
}

void audio_pass() {
  console_text(message_text(Msg::LookingForAudio));
  for (int32_t b = scan_state.scan_start; b < end_sector; ++b) {
    print_scan_progress(static_cast<uint32_t>(b), static_cast<uint32_t>(end_sector));
    if (sector_is_used(b) || known_not_audio(b)) continue;
    read_sectors(b, 1, sector_buffer);
    if (!is_audio_sector(sector_buffer)) continue;
    convert_audio_at(b);
  }
}

}  // namespace

void scan_all() {
  console_text(message_text(Msg::ScanPreliminary));
  set_sector_mode(kSectorMode2336);

  scan_state.scan_end = end_sector;
  scan_state.scan_start = current_sector;
  const int32_t range = end_sector > current_sector ? end_sector - current_sector : 0;
  scan_state.usage_map = static_cast<uint8_t*>(alloc_zeroed(static_cast<uint32_t>(range)));
  scan_state.marking = true;

  // Start-up records where the base name ends before the scan runs.
  scan_state.name_end = output_name_end != nullptr
                            ? static_cast<size_t>(output_name_end - output_name)
                            : std::strlen(output_name);
  set_name_suffix(".txt");
  scan_state.log = create_output_or_fail(output_name);

  scan_state.file_bounds = whole_disc_file_boundaries();

  if (!mode_is(kModeSkipMovie)) movie_pass();
  // The audio pass reads and finds streams on this thread while another
  // decodes and writes what it found.
  if (thread_count() > 1) start_output_stage();
  audio_pass();
  finish_output_stage();

  const bool closed = std::fclose(scan_state.log) == 0;
  scan_state.log = nullptr;
  report_written(closed);
}
