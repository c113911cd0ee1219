// The audio pass's questions to the movie table, and the movie start test.
#include "modes/scan/movie_table.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"

namespace {

struct Table {
  MovieSpan movies[4];
  int count = 3;
  static constexpr int32_t kScanEnd = 5000;
  Table() {
    movies[0] = {100, 400};
    movies[1] = {1000, 1600};
    movies[2] = {2000, 2100};
    movies[3] = {kScanEnd, 0};  // sentinel
  }
};

TEST(MovieTable, LinkedMovieIncludesOneSectorBeforeAndEndsAtTheSpanEnd) {
  Table t;
  EXPECT_EQ(linked_movie(t.movies, t.count, 98), -1);
  EXPECT_EQ(linked_movie(t.movies, t.count, 99), 0);  // one before the start
  EXPECT_EQ(linked_movie(t.movies, t.count, 250), 0);
  EXPECT_EQ(linked_movie(t.movies, t.count, 399), 0);  // the span's last sector
  EXPECT_EQ(linked_movie(t.movies, t.count, 400), -1);  // one past the span
  EXPECT_EQ(linked_movie(t.movies, t.count, 2050), 2);
  EXPECT_EQ(linked_movie(t.movies, 0, 250), -1);
}

TEST(MovieTable, SpanEndsOneAverageFrameAfterTheLastFrameStart) {
  // Ten frames from sector 100, the last at 190: ten sectors a frame.
  EXPECT_EQ(movie_span_end(100, 190, 10, 197, 275), 200);
  // Fractional spans round to the nearest sector: 8.75 sectors a frame.
  EXPECT_EQ(movie_span_end(100, 135, 5, 142, 300), 144);
  // Never short of the last video sector, never past where the conversion stopped.
  EXPECT_EQ(movie_span_end(100, 190, 10, 203, 275), 204);
  EXPECT_EQ(movie_span_end(100, 190, 10, 197, 198), 198);
  // One frame has no average: the span runs to where the conversion stopped.
  EXPECT_EQ(movie_span_end(100, 100, 1, 104, 180), 180);
}

TEST(MovieTable, PrecedingMovieUsesTheNextStartOrTheScanEnd) {
  Table t;
  EXPECT_EQ(preceding_movie(t.movies, t.count, 50), -1);
  EXPECT_EQ(preceding_movie(t.movies, t.count, 100), -1);  // not below the start
  EXPECT_EQ(preceding_movie(t.movies, t.count, 500), 0);
  EXPECT_EQ(preceding_movie(t.movies, t.count, 1999), 1);
  EXPECT_EQ(preceding_movie(t.movies, t.count, 4000), 2);  // after the last movie
  EXPECT_EQ(preceding_movie(t.movies, 0, 4000), -1);
}

TEST(MovieTable, NextMovieStartBoundsAudioBeforeAMovie) {
  Table t;
  EXPECT_EQ(next_movie_start(t.movies, t.count, 0, Table::kScanEnd), 100);
  EXPECT_EQ(next_movie_start(t.movies, t.count, 500, Table::kScanEnd), 1000);
  EXPECT_EQ(next_movie_start(t.movies, t.count, 2000, Table::kScanEnd), Table::kScanEnd);
  EXPECT_EQ(next_movie_start(t.movies, 0, 0, Table::kScanEnd), Table::kScanEnd);
}

uint8_t* movie_start_sector(uint8_t* s) {
  std::memset(s, 0, kSectorBytes);
  s[kSubmodeOffset] = kSubmodeData | kSubmodeRealTime;
  uint8_t* h = s + kSubheaderBytes;
  put_le16(h + 0, 0x0160);
  put_le16(h + 2, 0x8001);
  put_le16(h + 4, 0);
  put_le16(h + 6, 9);
  put_le32(h + 8, 1);
  return h;
}

TEST(MovieStart, NeedsVideoSectorStatusTypeChunkZeroAndFrameOne) {
  uint8_t s[kSectorBytes];
  movie_start_sector(s);
  EXPECT_TRUE(begins_movie(s));

  uint8_t* h = movie_start_sector(s);
  h[0] = 0x68;  // any low nibble
  EXPECT_TRUE(begins_movie(s));
  s[kSubmodeOffset] = kSubmodeVideo | kSubmodeForm2;  // the video bit alone also counts
  EXPECT_TRUE(begins_movie(s));

  movie_start_sector(s)[0] = 0x50;
  EXPECT_FALSE(begins_movie(s));
  put_le16(movie_start_sector(s) + 2, 0x8002);
  EXPECT_FALSE(begins_movie(s));
  put_le16(movie_start_sector(s) + 4, 1);
  EXPECT_FALSE(begins_movie(s));
  put_le32(movie_start_sector(s) + 8, 2);
  EXPECT_FALSE(begins_movie(s));
  movie_start_sector(s);
  s[kSubmodeOffset] = kSubmodeAudio | kSubmodeForm2;  // audio sector
  EXPECT_FALSE(begins_movie(s));
}

}  // namespace
