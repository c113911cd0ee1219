// The streams of the movie: the first video sector (of the wanted file and
// channel, or of any with FCSearch AUTO) and the first audio sector, each
// searched from the current sector over one search window without moving
// it. The video sector fixes picture size, version, chunks per frame and
// the frame rate; the audio sector the sound format.
#include "modes/viewer/stream_search.hpp"

#include "base/messages.hpp"
#include "format/mdec/colour.hpp"
#include "format/mdec/str_header.hpp"
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

// Reads the window's sectors one at a time until accept says yes; the
// sector is then in the read buffer.
template <typename Accept>
bool search_window(Accept accept) {
  const int32_t limit = search_window_end(current_sector, movie.search_window, end_sector);
  for (int32_t s = current_sector; s < limit; ++s) {
    read_sectors(s, 1, read_state.buffer);
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
  const StrSectorHeader header = parse_str_header(sector + kSubheaderBytes);
  if (!is_str_header(header)) fatal_error(kErrViewer, message_text(Msg::HeaderInvalid));
  movie.version = decoding_version(header.version);
  movie.chunks_per_frame = header.chunks_per_frame;
  // Until the preload has shown more, the first frame's chunks give the rate.
  viewer_stream.automatic_rate = viewer_frame_rate == 0;
  viewer_stream.first_chunks = movie.chunks_per_frame;
  start_rate_evidence(viewer_stream.rate_evidence, static_cast<uint8_t>(movie.file_number),
                      static_cast<uint8_t>(movie.channel_number));
  if (viewer_frame_rate == 0) viewer_frame_rate = frame_rate_for_chunks(movie.chunks_per_frame);
  movie.picture_width = round_picture_size(header.width);
  movie.picture_height = round_picture_size(header.height);
  movie.macroblock_count =
      (movie.picture_width / kMacroblockPixels) * (movie.picture_height / kMacroblockPixels);
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
  const XaCoding coding = xa_coding(sector[kCodingInfoOffset]);
  viewer_stream.sound_rate = coding.sample_rate;
  viewer_stream.sound_channels = coding.channels;
  viewer_stream.sound_bits = coding.bits;
}

int32_t frame_rate_for_chunks(uint32_t chunks) {
  return static_cast<int32_t>(table_frame_rate(RateTable::viewer, chunks).rate);
}

uint32_t audio_interval_for(uint32_t rate, uint32_t channels, uint32_t bits) {
  uint32_t interval = rate == kXaHalfRate ? 16 : 8;
  if (channels == 1) interval *= 2;
  // An 8-bit sector carries half the samples, so the stream needs twice the sectors.
  if (bits == kXaBits8) interval /= 2;
  return interval;
}
