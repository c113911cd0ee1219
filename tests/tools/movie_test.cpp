// Movies as sectors: STR headers of every chunk, audio at the interleave,
// frames padded to their share of sectors, refusals, stream helpers and the
// raw 2352-byte form.
#include <gtest/gtest.h>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "tests/tools/reference_decoder.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/str_video.hpp"

using namespace mkdisc;

namespace {
const uint8_t* user(const Sector& s) { return s.data() + kSubheaderBytes; }
}  // namespace

TEST(Movie, EveryChunkHasItsStrHeaderAndTheFrameReassembles) {
  MovieSpec movie_spec;
  movie_spec.width = 200;
  movie_spec.height = 120;
  movie_spec.frames = 3;
  movie_spec.pattern = Pattern::bars;
  movie_spec.encode = {3, 2, ColourConvention::korvane};
  movie_spec.file_number = 4;
  movie_spec.channel_number = 2;
  const Movie m = build_movie(movie_spec);
  size_t at = 0;
  for (int f = 0; f < 3; ++f) {
    const std::vector<uint8_t>& bs = m.bitstreams[static_cast<size_t>(f)];
    ASSERT_EQ(m.chunks[static_cast<size_t>(f)], chunks_for(bs.size()));
    ASSERT_GT(m.chunks[static_cast<size_t>(f)], 1);  // the test wants several chunks
    std::vector<uint8_t> joined;
    for (int c = 0; c < m.chunks[static_cast<size_t>(f)]; ++c, ++at) {
      const Sector& s = m.sectors[at];
      EXPECT_EQ(s[0], 4);
      EXPECT_EQ(s[1], 2);
      EXPECT_EQ(s[2], 0x48);
      EXPECT_TRUE(is_video_sector(s.data()));
      const uint8_t* h = user(s);
      EXPECT_EQ(h[0] & 0xF0, 0x60);
      EXPECT_EQ(get_le16(h + 2), 0x8001);
      EXPECT_EQ(get_le16(h + 4), c);
      EXPECT_EQ(get_le16(h + 6), m.chunks[static_cast<size_t>(f)]);
      EXPECT_EQ(get_le32(h + 8), static_cast<uint32_t>(f + 1));
      EXPECT_EQ(get_le32(h + 12), bs.size());
      EXPECT_EQ(get_le16(h + 16), 200);
      EXPECT_EQ(get_le16(h + 18), 120);
      EXPECT_TRUE(std::equal(bs.begin(), bs.begin() + 8, h + 20));
      joined.insert(joined.end(), h + 32, h + 32 + kChunkBytes);
    }
    EXPECT_TRUE(std::equal(bs.begin(), bs.end(), joined.begin()));
    for (size_t i = bs.size(); i < joined.size(); ++i) ASSERT_EQ(joined[i], 0);
    // Hard-edged colour bars lose some colour to the half-resolution chroma.
    EXPECT_GE(reference::psnr(m.frames[static_cast<size_t>(f)], reference::decode_picture(joined, 200, 120)), 27.0);
  }
  EXPECT_EQ(at, m.sectors.size());
}

TEST(Movie, AudioAtTheInterleaveAndFramesFillTheirSectors) {
  MovieSpec movie_spec;
  movie_spec.width = 64;
  movie_spec.height = 48;
  movie_spec.frames = 8;
  movie_spec.sectors_per_frame = 8.75;  // fractional: frames of 8 and 9 sectors
  movie_spec.audio = true;
  movie_spec.audio_format = {37800, true};
  const Movie m = build_movie(movie_spec);
  ASSERT_EQ(m.sectors.size(), 70u);
  int audio = 0;
  std::vector<int> video_per_frame(8, 0);
  for (size_t i = 0; i < m.sectors.size(); ++i) {
    const Sector& s = m.sectors[i];
    if (i % 8 == 7) {
      ASSERT_TRUE(is_audio_sector(s.data())) << i;
      EXPECT_EQ(s[3], 0x01);
      ++audio;
    } else {
      ASSERT_TRUE(is_video_sector(s.data())) << i;
      ++video_per_frame[get_le32(user(s) + 8) - 1];
    }
  }
  EXPECT_EQ(audio, m.audio_sectors);
  EXPECT_EQ(m.pcm.size(), static_cast<size_t>(audio) * 2016 * 2);
  for (int f = 0; f < 8; ++f) EXPECT_EQ(video_per_frame[static_cast<size_t>(f)], m.chunks[static_cast<size_t>(f)]);
  EXPECT_EQ(m.chunks[0], 7);  // sectors 0..7, one of them audio
}

TEST(Movie, RefusesWhatCannotBeBuilt) {
  MovieSpec movie_spec;
  movie_spec.file_number = 256;
  EXPECT_THROW(build_movie(movie_spec), Error);
  movie_spec = MovieSpec{};
  movie_spec.width = 65535;
  movie_spec.height = 65535;
  try {
    build_movie(movie_spec);
    FAIL() << "a frame beyond 65535 chunks was built";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("65535x65535"), std::string::npos) << e.what();
  }
  movie_spec = MovieSpec{};
  movie_spec.pattern = Pattern::bars;
  movie_spec.width = 320;
  movie_spec.height = 240;
  movie_spec.encode.scale = 1;
  movie_spec.sectors_per_frame = 2;  // far too few for a fine 320x240 frame
  EXPECT_THROW(build_movie(movie_spec), Error);
  VideoSectorOptions vo;
  vo.chunks = 70000;
  try {
    frame_sectors(std::vector<uint8_t>(16, 0), vo);
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("70000"), std::string::npos);
  }
}

TEST(StreamHelpers, GapsForeignDataAndMerging) {
  EXPECT_EQ(gap_sectors(3), SectorList(3, Sector{}));
  const SectorList f = foreign_sectors(2, 9, 3, 0x08);
  EXPECT_EQ(f[1][0], 9);
  EXPECT_EQ(f[1][1], 3);
  EXPECT_NE(f[0], f[1]);
  const SectorList d = data_sectors(std::vector<uint8_t>(3000, 0xAB));
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[1][8 + 951], 0xAB);
  EXPECT_EQ(d[1][8 + 952], 0);
  const SectorList a = foreign_sectors(3, 1, 1, 0), b = foreign_sectors(1, 2, 2, 0);
  const SectorList m = merge_round_robin({a, b});
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[0], a[0]);
  EXPECT_EQ(m[1], b[0]);
  EXPECT_EQ(m[2], a[1]);
  EXPECT_EQ(m[3], a[2]);
}

TEST(SectorFile, RawFormHasSyncAndAddressedHeader) {
  const SectorList s = foreign_sectors(2, 1, 2, 0x64);
  const std::vector<uint8_t> raw = raw_sector(s[0], 0);
  ASSERT_EQ(raw.size(), 2352u);
  EXPECT_EQ(raw[0], 0x00);
  for (int i = 1; i < 11; ++i) EXPECT_EQ(raw[static_cast<size_t>(i)], 0xFF);
  EXPECT_EQ(raw[11], 0x00);
  EXPECT_EQ(raw[12], 0x00);  // 00:02:00
  EXPECT_EQ(raw[13], 0x02);
  EXPECT_EQ(raw[14], 0x00);
  EXPECT_EQ(raw[15], 2);
  EXPECT_TRUE(std::equal(s[0].begin(), s[0].end(), raw.begin() + 16));
  const std::vector<uint8_t> late = raw_sector(s[0], 4500 * 15 + 74 - 150);  // 15:00:74
  EXPECT_EQ(late[12], 0x15);
  EXPECT_EQ(late[13], 0x00);
  EXPECT_EQ(late[14], 0x74);
  const std::vector<uint8_t> both = sector_bytes(s, SectorForm::raw2352, 10);
  ASSERT_EQ(both.size(), 2 * 2352u);
  EXPECT_EQ(both[2352 + 14], 0x11);  // address 11 + 150 = 161 = 00:02:11
  EXPECT_EQ(sector_bytes(s, SectorForm::form2336).size(), 2 * 2336u);
}
