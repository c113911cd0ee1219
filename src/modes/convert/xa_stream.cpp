// Finding one XA stream (its first two sectors give the interleave, rate,
// channel count and sample width) and converting it sector by sector at that
// interleave. A stream ends where its sectors change their coding, and
// never takes a sector an earlier conversion of the scan took.
#include "modes/convert/xa_stream.hpp"

#include "base/messages.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/output_stage.hpp"
#include "platform/console.hpp"
#include "state/movie_context.hpp"
#include "state/scan_state.hpp"


namespace {

constexpr int32_t kNoSector = -1;

// Reads the sector and tells whether it is an audio sector of the selected
// file and channel, coded as the stream is once its coding is known.
bool read_and_match(int32_t sector) {
  read_sectors(sector, 1, sector_buffer);
  return sector_buffer[kFileNumberOffset] == movie.file_number &&
         sector_buffer[kChannelNumberOffset] == movie.channel_number &&
         is_audio_sector(sector_buffer) &&
         (xa_stream.coding < 0 || (sector_buffer[kCodingInfoOffset] & kCodingFormatMask) == xa_stream.coding);
}

}  // namespace

int32_t next_xa_sector(int32_t sector, int mode) {
  if (sector < 0) return kNoSector;
  if (mode == kXaSearch) {
    const int32_t limit = search_window_end(sector, movie.search_window, end_sector);
    for (int32_t s = sector; s < limit; ++s)
      if (read_and_match(s)) return s;
    return kNoSector;
  }
  if (sector >= end_sector || movie.search_window < 1) return kNoSector;
  if (mode == kXaConvert && sector_is_used(sector)) return kNoSector;
  if (!read_and_match(sector)) return kNoSector;
  if (mode == kXaConvert) {
    output_xa_sector(sector_buffer);
    mark_sector_used(sector);
  }
  return sector;
}

int find_xa_stream() {
  xa_stream.coding = -1;
  const int32_t first = next_xa_sector(current_sector, kXaSearch);
  if (first == kNoSector) return 0;
  // The second sector must be coded as the first.
  xa_stream.coding = sector_buffer[kCodingInfoOffset] & kCodingFormatMask;
  const int32_t second = next_xa_sector(first + 1, kXaSearch);
  if (second == kNoSector) return 0;
  // sector_buffer still holds the second sector.
  const XaCoding coding = xa_coding(sector_buffer[kCodingInfoOffset]);
  xa_stream.interleave = second - first;
  xa_stream.sample_rate = static_cast<int32_t>(coding.sample_rate);
  xa_stream.channel_count = static_cast<int32_t>(coding.channels);
  xa_stream.bits_per_sample = coding.bits;
  current_sector = first;
  return 1;
}

void convert_xa_stream() {
  set_sector_mode(kSectorMode2336);
  if (!find_xa_stream()) return;
  output_wav_format();
  for (;;) {
    console_printf(message_text(Msg::ConvertAudioProgress), current_sector, end_sector);
    if (next_xa_sector(current_sector, kXaConvert) == kNoSector) break;
    current_sector += xa_stream.interleave;
    if (current_sector >= end_sector) break;
  }
  console_text("\n");
}
