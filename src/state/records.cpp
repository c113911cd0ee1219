// Every process-wide record of korvane, defined once, and their reset.
#include "state/records.hpp"

#include <cstdio>

#include "state/catalogue_state.hpp"
#include "state/cd_drives.hpp"
#include "state/conversion_numbers.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/output_name_end.hpp"
#include "state/scan_state.hpp"
#include "state/sector_source_state.hpp"
#include "state/settings.hpp"
#include "state/soundtrack.hpp"
#include "state/viewer_state.hpp"
#include "state/xa_stream_state.hpp"

uint32_t mode_flags = 0;
uint32_t override_flags = 0;
char input_name[kNameBufferSize];
char output_name[kNameBufferSize];
char image_name[kNameBufferSize];
char settings_path[kNameBufferSize];
Settings settings;
int32_t viewer_frame_rate = 0;
char* output_name_end = output_name;

SectorSource sector_source;
int32_t current_sector = 0;
int32_t end_sector = 0;
uint8_t sector_buffer[kSectorBytes];

CdDriveTable cd_drives;
MovieContext movie;
ConversionRoutines conversion_routines;
XaStream xa_stream;
AdpcmHistory adpcm_left;
AdpcmHistory adpcm_right;
Soundtrack soundtrack;
ScanState scan_state;
CatalogueWriter catalogue;

ViewerStream viewer_stream;
ViewerClock viewer_clock;
ViewerDisplay viewer_display;
ViewerSoundState viewer_sound;
FrameRing frame_ring;
ReadState read_state;
ViewerBuffers viewer_buffers;
RoutineTable viewer_routines;

namespace {

void close_if_open(FILE*& file) {
  if (file != nullptr) std::fclose(file);
  file = nullptr;
}

}  // namespace

void reset_records() {
  mode_flags = 0;
  override_flags = 0;
  input_name[0] = output_name[0] = image_name[0] = settings_path[0] = '\0';
  settings = Settings{};
  viewer_frame_rate = 0;
  output_name_end = output_name;

  close_if_open(sector_source.file);
  sector_source = SectorSource{};
  current_sector = 0;
  end_sector = 0;

  cd_drives = CdDriveTable{};
  const FrameBuffers frame = movie.frame;
  close_if_open(movie.avi.file);
  movie = MovieContext{};
  movie.frame = frame;
  xa_stream = XaStream{};
  adpcm_left = AdpcmHistory{};
  adpcm_right = AdpcmHistory{};
  soundtrack = Soundtrack{};

  uint8_t* const usage_map = scan_state.usage_map;
  close_if_open(scan_state.log);
  scan_state = ScanState{};
  scan_state.usage_map = usage_map;
  close_if_open(catalogue.stream);
  catalogue = CatalogueWriter{};

  viewer_stream = ViewerStream{};
  viewer_clock = ViewerClock{};
  viewer_display = ViewerDisplay{};
  viewer_sound = ViewerSoundState{};
  FrameRing ring;
  for (int slot = 0; slot < kRingSlots; ++slot) ring.slots[slot] = frame_ring.slots[slot];
  ring.slot_chunks = frame_ring.slot_chunks;
  frame_ring = ring;
  read_state = ReadState{read_state.buffer, 0, 0};
  viewer_routines = RoutineTable{};
}
