// Numbered output names and the report lines written for every conversion of
// a scan. The report is CP932 text with CR LF line ends.
#include "modes/scan/scan_report.hpp"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>

#include "base/messages.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/output_stage.hpp"
#include "modes/scan/movie_table.hpp"
#include "platform/errors.hpp"
#include "platform/text_file.hpp"
#include "state/mode_flags.hpp"
#include "state/scan_state.hpp"

namespace {

// The text at the name end; a name longer than the buffer cannot be created.
void set_numbered_name_text(const char* text) {
  char* end = output_name + scan_state.name_end;
  const size_t room = kNameBufferSize - scan_state.name_end;
  const int written = std::snprintf(end, room, "%s", text);
  if (written < 0 || static_cast<size_t>(written) >= room) fatal_error_name(kErrOpen, output_name);
}

}  // namespace

void set_numbered_name(int32_t number, const char* extension) {
  char text[kNameBufferSize];
  std::snprintf(text, sizeof text, "%04d%s", number, extension);
  set_numbered_name_text(text);
}

void set_name_suffix(const char* suffix) { set_numbered_name_text(suffix); }

void cut_to_base_name() { output_name[scan_state.name_end] = '\0'; }

void report_written(bool written) {
  if (!written) fatal_error(kErrWrite, "");
}

void report_printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string bytes = text_file_vformat(format, args);
  va_end(args);
  output_report_bytes(scan_state.log, std::move(bytes));
}

void report_offsets(int32_t first, int32_t stop) {
  report_printf(message_text(Msg::ReportStartOffset), first - scan_state.scan_start);
  report_printf(message_text(Msg::ReportEndOffset), stop - scan_state.scan_start - 1);
}

void report_stream(int32_t first) {
  report_printf("%s", output_name);
  const int movie_index = preceding_movie(scan_state.movies, scan_state.movie_count, first);
  if (movie_index < 0) {
    report_printf("\n");
  } else {
    cut_to_base_name();
    char movie_wav[kNameBufferSize + 16];
    std::snprintf(movie_wav, sizeof movie_wav, "%s%04d.wav", output_name, movie_index);
    report_printf(message_text(Msg::ReportMaybeMovieSound), movie_wav);
  }
  report_offsets(first, current_sector);
}
