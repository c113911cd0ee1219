// The three ways through for audio found by the scan. The -detail path finds
// every stream of the interleave block, measures and corrects their ends,
// then converts each to its own numbered WAV file.
#include "modes/scan/found_audio.hpp"

#include "base/messages.hpp"
#include "format/xa/stream_ends.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/output_stage.hpp"
#include "modes/convert/xa_stream.hpp"
#include "modes/scan/scan_report.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/scan_state.hpp"

namespace {

// How many sectors from the found one are tried for a first stream.
constexpr int kFirstStreamTries = 32;

void convert_one_stream() {
  output_wav_open();
  convert_xa_stream();
  output_wav_close();
}

// Reads the sector; when it is an unused audio sector, selects its file and
// channel and returns true. Sectors an earlier conversion took are left alone
// so no stream is converted twice.
bool select_audio_sector(int32_t sector) {
  if (sector_is_used(sector)) return false;
  current_sector = sector;
  read_sectors(sector, 1, sector_buffer);
  if (!is_audio_sector(sector_buffer)) return false;
  movie.file_number = sector_buffer[kFileNumberOffset];
  movie.channel_number = sector_buffer[kChannelNumberOffset];
  return true;
}

void convert_ordinary_audio() {
  const int32_t first = current_sector;
  set_numbered_name(scan_state.audio_number++, ".wav");
  convert_one_stream();
  report_stream(first);
}

// Walks the stream found last at its interleave while its sectors match;
// returns one past the last sector that matched.
int32_t walk_stream() {
  while (next_xa_sector(current_sector, kXaTest) >= 0) {
    current_sector += xa_stream.interleave;
    if (current_sector >= end_sector) break;
  }
  return current_sector - xa_stream.interleave + 1;
}

// The first sector from `from` on of the stream's file and channel, or -1.
// Sectors the movie pass found to hold no audio are not read again.
int32_t find_resume(uint8_t file, uint8_t channel, int32_t from) {
  for (int32_t s = from; s < end_sector; ++s) {
    if (known_not_audio(s)) continue;
    read_sectors(s, 1, sector_buffer);
    if (is_audio_sector(sector_buffer) && sector_buffer[kFileNumberOffset] == file &&
        sector_buffer[kChannelNumberOffset] == channel) {
      return s;
    }
  }
  return -1;
}

void convert_detail_audio() {
  const int32_t start = current_sector;

  bool found = false;
  for (int k = 0; k < kFirstStreamTries && start + k < end_sector; ++k) {
    if (select_audio_sector(start + k) && find_xa_stream()) {
      found = true;
      break;
    }
  }
  if (!found) fatal_error(kErrConvert, message_text(Msg::DetailFailed));

  const int32_t window = xa_stream.interleave;
  console_printf(message_text(Msg::LargestInterleave), window);
  scan_state.marking = false;

  // A window wider than the table: the first streams are converted now, the
  // rest stay unused and are found again later in the audio pass.
  DetailStream streams[kDetailStreamEntries];
  int count = 0;
  for (int32_t s = start; s < start + window && s < end_sector && count < kDetailStreamEntries;
       ++s) {
    console_printf(message_text(Msg::SearchingValidRange), s - start + 1, window);
    if (!select_audio_sector(s)) continue;
    DetailStream& entry = streams[count];
    entry.file = static_cast<uint8_t>(movie.file_number);
    entry.channel = static_cast<uint8_t>(movie.channel_number);
    entry.first = s;
    if (!find_xa_stream()) continue;
    entry.last = walk_stream();
    ++count;
  }
  console_text("\n");
  console_printf(message_text(Msg::InterleaveCount), count);
  console_text(message_text(Msg::CorrectingRanges));

  correct_stream_ends(streams, count, find_resume);

  scan_state.marking = true;
  for (int j = 0; j < count; ++j) {
    const DetailStream& entry = streams[j];
    end_sector = entry.end;
    current_sector = entry.first;
    movie.file_number = entry.file;
    movie.channel_number = entry.channel;
    set_numbered_name(scan_state.audio_number++, ".wav");
    convert_one_stream();
    output_history_reset();
    report_stream(entry.first);
  }
  scan_state.marking = true;
}

}  // namespace

void convert_found_audio(bool linked) {
  if (linked) {
    convert_one_stream();
  } else if (mode_is(kModeDetail)) {
    convert_detail_audio();
  } else {
    convert_ordinary_audio();
  }
}
