// viewer_setup in its order: clock base, processor, sector form, read
// size, streams, buffers, display size, routines, clamp table, then the
// window, display mode, surfaces and the sound buffer.
#include "modes/viewer/viewer_setup.hpp"

#include <cstdlib>

#include "base/messages.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "format/mdec/str_header.hpp"
#include "format/viewer/clamp_table.hpp"
#include "format/viewer/idct_layout.hpp"
#include "format/viewer/routine_table.hpp"
#include "io/aspi.hpp"
#include "io/sector_source.hpp"
#include "modes/viewer/sound_stream.hpp"
#include "modes/viewer/stream_search.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "platform/cpu_features.hpp"
#include "platform/errors.hpp"
#include "state/cd_drives.hpp"
#include "state/movie_context.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"

namespace {

constexpr uint32_t kSmallWidth = 320;
constexpr uint32_t kSmallHeight = 240;
constexpr uint32_t kLargeWidth = 640;
constexpr uint32_t kLargeHeight = 480;
constexpr uint32_t kBits24 = 24;
constexpr uint32_t kBits32 = 32;
constexpr uint32_t kCountMask = 0xFFFF;
constexpr int kProbeAllocationFailed = 1;
constexpr size_t kCoefficientAlignment = 8;

void* allocate_or_fail(size_t bytes) {
  void* p = std::malloc(bytes == 0 ? 1 : bytes);
  if (p == nullptr) fatal_error(kErrAlloc, "");
  return p;
}

[[noreturn]] void release_and_fail(const char* detail) {
  viewer_backends.display->release();
  viewer_backends.sound->release();
  fatal_error(kErrDirectX, detail);
}

// The one place where the read size is decided. A CD drive is measured up
// to CdReadSector; files and images read CdReadSector at a time. Never 0
// (one sector a read then), never more than the read buffer holds.
void choose_read_size() {
  uint32_t count = static_cast<uint32_t>(settings.CdReadSector);
  if (sector_source.kind == SourceKind::Cd) {
    if (probe_max_sectors(settings.CdReadSector, false) == kProbeAllocationFailed)
      fatal_error(kErrUnknown, message_text(Msg::CdAccessFailed));
    count = static_cast<uint32_t>(chosen_drive().max_sectors) & kCountMask;
  }
  if (count == 0) count = 1;
  if (count > kMaxSectorsPerRead) count = kMaxSectorsPerRead;
  viewer_stream.sectors_per_read = static_cast<uint16_t>(count);
}

void allocate_buffers() {
  const uint32_t slot_chunks = movie.chunks_per_frame + kSlotSpareChunks;
  frame_ring.slot_chunks = slot_chunks;
  for (auto& slot : frame_ring.slots)
    slot = static_cast<uint8_t*>(allocate_or_fail(static_cast<size_t>(slot_chunks) * kChunkBitstreamBytes));
  // The decoders write one block in; the dequantiser moves everything back.
  viewer_buffers.coefficient_blocks = movie.macroblock_count * kBlocksPerMacroblock + 1;
  // malloc's blocks suit every fundamental type, so they are 8-aligned on
  // every platform (std::aligned_alloc is missing from some C runtimes).
  static_assert(kCoefficientAlignment <= alignof(double));
  viewer_buffers.coefficients = static_cast<int16_t*>(
      std::malloc(static_cast<size_t>(viewer_buffers.coefficient_blocks) * 64 * 2));
  if (viewer_buffers.coefficients == nullptr) fatal_error(kErrAlloc, "");
  viewer_buffers.samples =
      allocate_or_fail(static_cast<size_t>(movie.macroblock_count) * kMaxSampleBytesPerMacroblock * 2);
  frame_ring.position = 0;
  frame_ring.stream_ended = 0;
}

void open_window_and_display() {
  DisplayDevice& display = *viewer_backends.display;
  if (!display.create_window()) fatal_error(kErrViewer, message_text(Msg::WindowNotCreated));
  if (!display.open()) fatal_error(kErrDirectX, message_text(Msg::DisplayUnusable));
  if (!display.set_exclusive()) release_and_fail(message_text(Msg::FullScreenUnusable));

  const uint32_t modes[4][3] = {
      {viewer_display.wanted_width, viewer_display.wanted_height, kBits24},
      {viewer_display.wanted_width, viewer_display.wanted_height, kBits32},
      {kLargeWidth, kLargeHeight, kBits24},
      {kLargeWidth, kLargeHeight, kBits32},
  };
  bool mode_set = false;
  for (const auto& mode : modes) {
    if (display.set_mode(mode[0], mode[1], mode[2])) {
      viewer_display.display_width = mode[0];
      viewer_display.display_height = mode[1];
      viewer_display.bytes_per_pixel = mode[2] / 8;
      mode_set = true;
      break;
    }
  }
  if (!mode_set)
    release_and_fail(message_text(Msg::DisplayModeMissing));
  if (!display.create_primary()) release_and_fail(message_text(Msg::DisplayUnusable));
  display.clear_back_buffer();
  const uint32_t scale = viewer_display.surface_scale;
  const uint32_t width = scale * movie.picture_width;
  const uint32_t height = scale * movie.picture_height;
  if (!display.create_offscreen(width, height, true) &&
      !display.create_offscreen(width, height, false))
    release_and_fail(message_text(Msg::OffscreenNotAllocated));
}

void open_sound() {
  SoundDevice& sound = *viewer_backends.sound;
  if (!sound.open() || !sound.create_buffer(kSoundBufferBytes, viewer_stream.sound_rate,
                                            viewer_stream.sound_channels))
    release_and_fail(message_text(Msg::SoundUnusable));
  viewer_sound.write_position = 0;
  viewer_stream.audio_interval =
      audio_interval_for(viewer_stream.sound_rate, viewer_stream.sound_channels,
                         viewer_stream.sound_bits);
  viewer_sound.last_audio_sector = static_cast<uint32_t>(current_sector);
}

}  // namespace

void choose_display_size(uint32_t width, uint32_t height, int32_t display_mode, int32_t mode_x,
                         int32_t& filter, uint32_t* wanted_width, uint32_t* wanted_height) {
  const bool fits = width <= kSmallWidth && height <= kSmallHeight;
  if (fits && display_mode == 1 && filter == 0 && mode_x != 0) {
    *wanted_width = kSmallWidth;
    *wanted_height = kSmallHeight;
    return;
  }
  *wanted_width = kLargeWidth;
  *wanted_height = kLargeHeight;
  if (filter != 0 && !fits) filter = 0;
}

void viewer_setup() {
  install_default_backends();
  viewer_clock.tick_base = viewer_backends.clock->tick_count();
  viewer_display.mmx_present = (settings.MMX != 0 && cpu_has_mmx()) ? 1 : 0;
  viewer_sound.enabled = settings.Sound != 0 ? 1 : 0;
  viewer_display.fixed = settings.Fixed;
  viewer_display.filter = settings.Filter;
  sector_source.bulk_reads = true;
  set_sector_mode(kSectorMode2336);
  if (read_state.buffer == nullptr)
    read_state.buffer = static_cast<uint8_t*>(allocate_or_fail(kMaxSectorsPerRead * kSectorBytes));
  read_state.remaining = 0;
  choose_read_size();

  find_video_stream();
  allocate_buffers();
  choose_display_size(movie.picture_width, movie.picture_height, settings.DisplayMode,
                      settings.ModeX, viewer_display.filter, &viewer_display.wanted_width,
                      &viewer_display.wanted_height);
  find_audio_stream();

  viewer_routines = select_routines(viewer_display.mmx_present != 0, viewer_display.fixed,
                                   viewer_display.filter);
  viewer_display.surface_scale = viewer_routines.surface_scale;
  fill_clamp_table();

  open_window_and_display();
  if (viewer_sound.enabled == 0) return;
  open_sound();
}
