// The viewer test harness.
#include "tests/viewer/playback_harness.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "io/sector_source.hpp"
#include "modes/convert/xa_decode.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "state/conversion_numbers.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

void release_viewer_buffers() {
  for (auto& slot : frame_ring.slots) std::free(slot);
  std::free(viewer_buffers.coefficients);
  std::free(viewer_buffers.samples);
  std::free(read_state.buffer);
  if (sector_source.file != nullptr) std::fclose(sector_source.file);
  sector_source = SectorSource{};
}

}  // namespace

PlaybackHarness::PlaybackHarness() {
  release_viewer_buffers();
  settings = Settings{};
  settings.StartWait = 0;
  movie.search_window = 75;
  movie.file_number = 1;
  movie.channel_number = 1;
  viewer_frame_rate = 0;
  viewer_stream = ViewerStream{};
  viewer_clock = ViewerClock{};
  viewer_display = ViewerDisplay{};
  viewer_sound = ViewerSoundState{};
  frame_ring = FrameRing{};
  read_state = ReadState{};
  viewer_buffers = ViewerBuffers{};
  adpcm_left = AdpcmHistory{};
  adpcm_right = AdpcmHistory{};
  display.clock = &clock;
  viewer_backends = ViewerBackends{&display, &sound, &clock};
}

PlaybackHarness::~PlaybackHarness() {
  release_viewer_buffers();
  frame_ring = FrameRing{};
  viewer_buffers = ViewerBuffers{};
  read_state = ReadState{};
  viewer_backends = ViewerBackends{};
}

void PlaybackHarness::load(const mkdisc::SectorList& sectors) {
  const std::string path = dir.file("movie.str");
  mkdisc::write_sector_file(path, sectors, mkdisc::SectorForm::form2336);
  std::snprintf(input_name, sizeof input_name, "%s", path.c_str());
  mode_flags = kModeViewer | kModeNoCdrom;
  open_sector_source();
}

mkdisc::Movie small_movie(int frames, int width, int height, bool audio) {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = width;
  movie_spec.height = height;
  movie_spec.frames = frames;
  movie_spec.pattern = mkdisc::Pattern::sample;
  movie_spec.sectors_per_frame = 10;
  movie_spec.audio = audio;
  return mkdisc::build_movie(movie_spec);
}

double surface_psnr(const FakeDisplay& display, const std::vector<uint8_t>& picture,
                    const mkdisc::RgbFrame& source, int scale) {
  double squared = 0;
  long count = 0;
  for (int y = 0; y < source.height * scale; ++y)
    for (int x = 0; x < source.width * scale; ++x) {
      const uint8_t* shown = display.pixel(picture, x, y);
      const uint8_t* wanted = source.pixel(x / scale, y / scale);
      for (int c = 0; c < 3; ++c) {
        const double d = double(shown[c]) - double(wanted[2 - c]);
        squared += d * d;
        ++count;
      }
    }
  const double mse = squared / double(count);
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}
