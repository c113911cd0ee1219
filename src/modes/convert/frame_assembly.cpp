#include "modes/convert/frame_assembly.hpp"

#include <cstring>

#include "base/messages.hpp"
#include "format/disc/xa_sector.hpp"
#include "format/mdec/str_header.hpp"
#include "io/sector_source.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "modes/convert/movie_sound.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"
#include "state/scan_state.hpp"

namespace {

const uint8_t* user_data() { return sector_buffer + kSubheaderBytes; }

bool sector_is_accepted() {
  return sector_buffer[kFileNumberOffset] == movie.file_number &&
         sector_buffer[kChannelNumberOffset] == movie.channel_number &&
         is_video_sector(sector_buffer);
}

void append_chunk(size_t chunk_index) {
  std::memcpy(movie.frame.bitstream + chunk_index * kChunkBitstreamBytes,
              user_data() + kStrHeaderBytes, kChunkBitstreamBytes);
}

}  // namespace

bool find_video_sector() {
  const int32_t limit = search_window_end(current_sector, movie.search_window, end_sector);
  while (current_sector < limit) {
    read_sectors(current_sector, 1, sector_buffer);
    if (sector_is_accepted()) {
      mark_sector_used(current_sector);
      return true;
    }
    if (is_audio_sector(sector_buffer)) {
      note_audio_sector(movie.rate_evidence, static_cast<uint32_t>(current_sector), sector_buffer);
      offer_sound_sector(static_cast<uint32_t>(current_sector), sector_buffer);
    }
    ++current_sector;
  }
  return false;
}

bool check_frame_header() {
  const StrSectorHeader h = parse_str_header(user_data());
  switch (classify_str_header(h, static_cast<uint32_t>(movie.frame_counter))) {
    case HeaderCheck::kBadHeader:
      fatal_error(kErrConvert, message_text(Msg::HeaderInvalid));
    case HeaderCheck::kMisplacedChunk:
      fatal_error(kErrConvert, message_text(Msg::ReadPositionSlipped));
    case HeaderCheck::kOtherFrame:
      return false;
    case HeaderCheck::kOpensFrame:
      break;
  }
  movie.version = decoding_version(h.version);
  movie.picture_width = round_picture_size(h.width);
  movie.picture_height = round_picture_size(h.height);
  // A picture of no pixels, or beyond any the decoder takes, can only come
  // from a damaged header.
  if (!picture_size_fits(movie.picture_width, movie.picture_height))
    fatal_error(kErrConvert, message_text(Msg::HeaderInvalid));
  movie.chunks_per_frame = h.chunks_per_frame;
  movie.quant_scale = h.quant_scale;
  note_frame_start(movie.rate_evidence, movie.frame_start_sector, movie.chunks_per_frame);
  if (static_cast<int32_t>(movie.chunks_per_frame) > movie.max_chunks)
    movie.max_chunks = static_cast<int32_t>(movie.chunks_per_frame);
  return true;
}

bool assemble_frame(FrameData data) {
  ++movie.frame_counter;
  if (!find_video_sector()) return false;
  movie.frame_start_sector = static_cast<uint32_t>(current_sector);
  if (!check_frame_header()) {
    unmark_sector_used(current_sector);
    return false;
  }
  const size_t chunks = movie.chunks_per_frame;
  const bool copy = data == FrameData::Copy;
  if (copy) {
    reserve_frame_bitstream(chunks * kChunkBitstreamBytes);
    movie.frame.bitstream_bytes = chunks * kChunkBitstreamBytes;
    append_chunk(0);
  }
  movie.last_video_sector = current_sector++;
  for (size_t chunk = 1; chunk < chunks; ++chunk) {
    if (current_sector >= end_sector) return false;
    if (!find_video_sector()) return false;
    if (copy) append_chunk(chunk);
    movie.last_video_sector = current_sector++;
  }
  movie.last_frame_start = static_cast<int32_t>(movie.frame_start_sector);
  return true;
}
