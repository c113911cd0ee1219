// The frame ring's bookkeeping and the operations of one playback pass.
// The ring has PreLoadFrame slots in use: each step writes the slot at
// ring position, moves on, and decodes the slot now named, which holds the
// oldest frame. When the stream ends the ring drains: the position moves on
// without writing until every frame read has been shown.
#include "modes/viewer/playback_control.hpp"

#include <cstring>

#include "format/mdec/mdec_tables.hpp"
#include "format/mdec/str_header.hpp"
#include "io/sector_source.hpp"
#include "modes/viewer/sector_scan.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "modes/viewer/viewer_frame.hpp"
#include "state/conversion_numbers.hpp"
#include "state/movie_context.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"

namespace {

constexpr uint32_t kDoubledDisplayCentreX = 320;
constexpr uint32_t kDoubledDisplayCentreY = 240;

uint32_t ring_size() { return static_cast<uint32_t>(settings.PreLoadFrame); }

const uint8_t* user_data() { return sector_buffer + kSubheaderBytes; }
const uint8_t* chunk_bitstream() { return user_data() + kStrHeaderBytes; }

// The scan found no further video sector (or the sound path failed).
int end_of_stream() {
  if (frame_ring.stream_ended != 0) return 0;
  if (viewer_clock.preloaded_frames == 0) {
    frame_ring.stream_ended = 1;
    return 1;
  }
  frame_ring.draining = 1;
  frame_ring.position = (frame_ring.position + 1) % ring_size();
  if (--viewer_clock.preloaded_frames == 0) frame_ring.stream_ended = 1;
  return 1;
}

}  // namespace

int read_frame_ahead() {
  for (;;) {
    if (next_stream_sector() == 0) return end_of_stream();
    const StrSectorHeader header = parse_str_header(user_data());
    if (!is_str_header(header)) return 0;
    const uint32_t chunks = header.chunks_per_frame;
    movie.chunks_per_frame = chunks;
    if (viewer_clock.preloading != 0)  // the sector just read opens the frame
      note_frame_start(viewer_stream.rate_evidence, static_cast<uint32_t>(current_sector) - 1, chunks);
    if (chunks == 0 || chunks > frame_ring.slot_chunks) {
      // The frame does not fit a slot: its sectors are read past and it is
      // dropped, and the next frame is read in its place.
      ++frame_ring.dropped_oversized;
      for (uint32_t i = 1; i < chunks; ++i)
        if (next_stream_sector() == 0) return end_of_stream();
      continue;
    }
    uint8_t* slot = frame_ring.slots[frame_ring.position];
    const uint32_t scale = header.quant_scale;
    std::memcpy(slot, chunk_bitstream(), kChunkBitstreamBytes);
    for (uint32_t i = 1; i < chunks; ++i) {
      if (next_stream_sector() == 0) return end_of_stream();  // the partial slot is abandoned
      std::memcpy(slot + i * kChunkBitstreamBytes, chunk_bitstream(), kChunkBitstreamBytes);
    }
    frame_ring.slot_scale[frame_ring.position] = scale;
    frame_ring.slot_bytes[frame_ring.position] = chunks * kChunkBitstreamBytes;
    frame_ring.position = (frame_ring.position + 1) % ring_size();
    return 1;
  }
}

void rewind_ring_for_short_stream(int32_t frames) {
  frame_ring.position = ring_size() - 1;  // the next move names slot 0
  frame_ring.stream_ended = 0;
  viewer_clock.preloaded_frames = frames;
}

int frame_step() {
  while (viewer_clock.frames_to_skip != 0) {
    if (read_frame_ahead() == 0) return -1;
    --viewer_clock.frames_to_skip;
    ++viewer_clock.frames_dropped;
  }
  if (read_frame_ahead() == 0) return -1;
  return decode_and_draw_frame();
}

void flip_rectangles(int32_t display_mode, uint32_t scale, uint32_t width, uint32_t height,
                     uint32_t display_width, uint32_t display_height, Rect* source,
                     Rect* destination) {
  const auto w = static_cast<int32_t>(width);
  const auto h = static_cast<int32_t>(height);
  if (display_mode == 1) {
    const auto s = static_cast<int32_t>(scale);
    *source = Rect{0, 0, s * w, s * h};
    const int32_t left = (static_cast<int32_t>(display_width) - s * w) / 2;
    const int32_t top = (static_cast<int32_t>(display_height) - s * h) / 2;
    *destination = Rect{left, top, left + s * w, top + s * h};
  } else {
    *source = Rect{0, 0, w, h};
    const auto cx = static_cast<int32_t>(kDoubledDisplayCentreX);
    const auto cy = static_cast<int32_t>(kDoubledDisplayCentreY);
    *destination = Rect{cx - w, cy - h, cx + w, cy + h};
  }
}

int page_flip() {
  Rect source, destination;
  flip_rectangles(settings.DisplayMode, viewer_display.surface_scale, movie.picture_width,
                  movie.picture_height, viewer_display.display_width,
                  viewer_display.display_height, &source, &destination);
  DisplayDevice& display = *viewer_backends.display;
  if (!display.blit(destination, source)) return 1;
  return display.flip() ? 0 : 1;
}

uint32_t viewer_ticks() {
  return viewer_backends.clock->tick_count() - viewer_clock.tick_base;
}

float viewer_frame_period() {
  if (!viewer_stream.automatic_rate) return frame_period_for(viewer_frame_rate);
  const FrameRate& r = viewer_stream.frame_rate;
  return 1000.0f * static_cast<float>(r.scale) / static_cast<float>(r.rate);
}

void choose_preloaded_rate() {
  if (!viewer_stream.automatic_rate) return;
  viewer_stream.frame_rate =
      movie_frame_rate(viewer_stream.rate_evidence, RateTable::viewer, viewer_stream.first_chunks);
  viewer_frame_rate = static_cast<int32_t>(viewer_stream.frame_rate.rate / viewer_stream.frame_rate.scale);
}

float frame_period_for(int32_t frame_rate) {
  switch (frame_rate) {
    case 10: return 100.0f;
    case 20: return 50.0f;
    case 30: return 1000.0f / 30.0f;   // 33.333332
    default: return 1000.0f / 15.0f;   // 66.666664
  }
}
