// The sector scan: bulk reads of sectors_per_read sectors examined in
// place; video sectors of the stream end the scan, audio sectors of the
// stream are written to the sound buffer, and a silent block stands in for
// each audio sector that did not come when the interleave expected it.
#include "modes/viewer/sector_scan.hpp"

#include <cstring>

#include "io/sector_source.hpp"
#include "modes/viewer/sound_stream.hpp"
#include "state/movie_context.hpp"
#include "state/viewer_state.hpp"

int next_stream_sector() {
  const int32_t limit = search_window_end(current_sector, movie.search_window, end_sector);
  for (;;) {
    if (current_sector >= limit) return 0;
    if (read_state.remaining == 0) {
      read_sectors(current_sector, viewer_stream.sectors_per_read, read_state.buffer);
      read_state.offset = 0;
      read_state.remaining = viewer_stream.sectors_per_read;
    }
    const uint8_t* sector = read_state.buffer + read_state.offset;
    const uint32_t file = sector[kFileNumberOffset];
    const uint32_t channel = sector[kChannelNumberOffset];
    if (file == movie.file_number && channel == movie.channel_number && is_video_sector(sector)) {
      std::memcpy(sector_buffer, sector, kSectorBytes);
      ++current_sector;
      read_state.offset += kSectorBytes;
      --read_state.remaining;
      return 1;
    }
    if (viewer_clock.preloading != 0 && is_audio_sector(sector))
      note_audio_sector(viewer_stream.rate_evidence, static_cast<uint32_t>(current_sector), sector);
    if (file == viewer_stream.audio_file_number && channel == viewer_stream.audio_channel_number &&
        is_audio_sector(sector)) {
      if (write_sound_sector(sector) != 0) return 0;
      viewer_sound.last_audio_sector = static_cast<uint32_t>(current_sector);
    }
    if (viewer_sound.last_audio_sector + viewer_stream.audio_interval <=
        static_cast<uint32_t>(current_sector)) {
      if (write_silence_block() != 0) return 0;
      viewer_sound.last_audio_sector += viewer_stream.audio_interval;
    }
    ++current_sector;
    read_state.offset += kSectorBytes;
    --read_state.remaining;
  }
}
