// The conversion and the viewer take a movie's picture size, version and
// chunk count from its first STR header by the same rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "modes/viewer/stream_search.hpp"
#include "state/movie_context.hpp"
#include "state/sector_source_state.hpp"
#include "state/viewer_state.hpp"
#include "tests/viewer/playback_harness.hpp"

namespace {

constexpr int kWidthAt = 16;           // STR header fields, from the user data
constexpr int kHeightAt = 18;
constexpr int kVersionAt = 32 + 6;     // frame header word behind the STR header

struct Fields {
  uint32_t width, height, version, chunks;
  bool operator==(const Fields&) const = default;
};

Fields movie_fields() {
  return {movie.picture_width, movie.picture_height, movie.version, movie.chunks_per_frame};
}

}  // namespace

TEST(StrHeaderRules, ConversionAndViewerReadTheFirstHeaderAlike) {
  struct Case {
    uint16_t width, height, version;
  };
  for (const Case c : {Case{64, 48, 2}, Case{65, 47, 1}, Case{17, 1, 3}, Case{4095, 33, 1}}) {
    mkdisc::Movie m = small_movie(1, 64, 48, false);
    const uint8_t* first_video = nullptr;
    for (mkdisc::Sector& s : m.sectors) {
      if (!is_video_sector(s.data())) continue;
      uint8_t* user = s.data() + kSubheaderBytes;
      put_le16(user + kWidthAt, c.width);
      put_le16(user + kHeightAt, c.height);
      if (first_video == nullptr) {
        put_le16(user + kVersionAt, c.version);
        first_video = s.data();
      }
    }
    ASSERT_NE(first_video, nullptr);

    PlaybackHarness h;
    h.load(m.sectors);
    read_state.buffer = static_cast<uint8_t*>(std::malloc(kSectorBytes));
    find_video_stream();
    const Fields viewer = movie_fields();

    movie.frame_counter = 1;
    std::memcpy(sector_buffer, first_video, kSectorBytes);
    ASSERT_TRUE(check_frame_header());
    EXPECT_EQ(movie_fields(), viewer) << c.width << "x" << c.height << " version " << c.version;
  }
}
