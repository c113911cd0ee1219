// The streams of the movie: the first video sector (of the wanted file and
// channel, or of any with FCSearch AUTO) and the first audio sector, each
// searched from the current sector over one search window without moving
// it. The video sector fixes picture size, version, chunks per frame and
// the frame rate; the audio sector the sound format.
#include "modes/viewer/stream_search.hpp"

#include "base/byte_order.hpp"
#include "base/messages.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "io/sector_source.hpp"
#include "modes/viewer/sector_scan.hpp"
#include "modes/viewer/viewer_setup.hpp"
#include "platform/errors.hpp"
#include "state/conversion_numbers.hpp"
#include "state/movie_context.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"

namespace {

constexpr int32_t kFcSearchAuto = 1;
constexpr uint16_t kRoundTo16 = 0xFFF0;
constexpr uint32_t kSoundRateFull = 37800;
constexpr uint32_t kSoundRateHalf = 18900;
constexpr uint32_t kVersionStoredAs2 = 1;

// Reads the window's sectors one at a time until accept says yes; the
// sector is then in the read buffer.
template <typename Accept>
bool search_window(Accept accept) {
  uint32_t limit = static_cast<uint32_t>(current_sector) + movie.search_window;
  if (limit > static_cast<uint32_t>(end_sector)) limit = static_cast<uint32_t>(end_sector);
  for (uint32_t s = static_cast<uint32_t>(current_sector); s < limit; ++s) {
    read_sectors(static_cast<int32_t>(s), 1, read_state.buffer);
    if (accept(read_state.buffer)) return true;
  }
  return false;
}

}  // namespace

void find_video_stream() {
  const bool automatic = settings.FCSearch == kFcSearchAuto;
  const bool found = search_window([&](const uint8_t* sector) {
    if (!is_video_sector(sector)) return false;
    if (automatic) return true;
    return sector[kFileNumberOffset] == movie.file_number &&
           sector[kChannelNumberOffset] == movie.channel_number;
  });
  if (!found) fatal_error(kErrViewer, message_text(Msg::NoVideoSector));
  const uint8_t* sector = read_state.buffer;
  if (automatic) {
    movie.file_number = sector[kFileNumberOffset];
    movie.channel_number = sector[kChannelNumberOffset];
  }
  const uint8_t* user = sector + kSubheaderBytes;
  if (!str_header_valid(user)) fatal_error(kErrViewer, message_text(Msg::HeaderInvalid));
  const uint8_t* bitstream = user + kStrHeaderBytes;
  movie.version = get_le16(bitstream + kFrameHeaderVersionOffset);
  if (movie.version == kVersionStoredAs2) movie.version = 2;
  movie.chunks_per_frame = get_le16(user + kStrChunkCountOffset);
  if (viewer_frame_rate == 0) viewer_frame_rate = frame_rate_for_chunks(movie.chunks_per_frame);
  movie.picture_width = static_cast<uint16_t>(get_le16(user + kStrWidthOffset) + 15) & kRoundTo16;
  movie.picture_height = static_cast<uint16_t>(get_le16(user + kStrHeightOffset) + 15) & kRoundTo16;
  movie.macroblock_count = (movie.picture_width / 16) * (movie.picture_height / 16);
}

void find_audio_stream() {
  const bool automatic = settings.FCSearch == kFcSearchAuto;
  if (!automatic) {
    viewer_stream.audio_file_number = movie.file_number;
    viewer_stream.audio_channel_number = movie.channel_number;
  }
  const bool found = search_window([&](const uint8_t* sector) {
    if (!is_audio_sector(sector)) return false;
    if (automatic) return true;
    return sector[kFileNumberOffset] == viewer_stream.audio_file_number &&
           sector[kChannelNumberOffset] == viewer_stream.audio_channel_number;
  });
  if (!found) {
    viewer_sound.enabled = 0;  // plays silently
    return;
  }
  const uint8_t* sector = read_state.buffer;
  if (automatic) {
    viewer_stream.audio_file_number = sector[kFileNumberOffset];
    viewer_stream.audio_channel_number = sector[kChannelNumberOffset];
  }
  const uint8_t coding = sector[kCodingInfoOffset];
  viewer_stream.sound_rate = (coding & kCodingHalfRate) ? kSoundRateHalf : kSoundRateFull;
  viewer_stream.sound_channels = (coding & kCodingStereo) ? 2 : 1;
}

int32_t frame_rate_for_chunks(uint32_t chunks) {
  if (chunks <= 5) return 30;
  if (chunks <= 8) return 20;
  if (chunks <= 10) return 15;
  if (chunks <= 15) return 10;
  return 15;
}

uint32_t audio_interval_for(uint32_t rate, uint32_t channels) {
  uint32_t interval = rate == kSoundRateHalf ? 16 : 8;
  if (channels == 1) interval *= 2;
  return interval;
}
