// End correction of the -detail stream table.
#include "format/xa/stream_ends.hpp"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

// Resume sectors by channel; a channel missing from the map never resumes.
struct Resumes {
  std::map<int, int32_t> by_channel;
  std::vector<std::pair<int, int32_t>> asked;  // (channel, from)
  ResumeSearch search() {
    return [this](uint8_t, uint8_t channel, int32_t from) {
      asked.emplace_back(channel, from);
      auto it = by_channel.find(channel);
      return it == by_channel.end() || it->second < from ? -1 : it->second;
    };
  }
};

std::vector<DetailStream> interleaved(int count, int32_t first, int32_t last) {
  std::vector<DetailStream> streams(count);
  for (int k = 0; k < count; ++k) {
    streams[k].file = 1;
    streams[k].channel = static_cast<uint8_t>(k);
    streams[k].first = first + k;
    streams[k].last = last + k;
  }
  return streams;
}

TEST(StreamEnds, EightChannelsResumingTogetherEndTogether) {
  // Walks found ragged ends; all channels resume on R .. R + 7.
  auto streams = interleaved(8, 100, 300);
  streams[5].last = 250;
  const int32_t resume = 1000;
  Resumes resumes;
  for (int k = 0; k < 8; ++k) resumes.by_channel[k] = resume + k;
  correct_stream_ends(streams.data(), 8, resumes.search());
  for (int k = 0; k < 8; ++k) EXPECT_EQ(streams[k].end, resume + k) << k;
  // Aligned at j = 2 (three in a row), so the search stopped there.
  EXPECT_EQ(resumes.asked.size(), 3u);
}

TEST(StreamEnds, TwoStreamsAlignAsSoonAsTheSecondResumesRightAfter) {
  auto streams = interleaved(2, 10, 50);
  Resumes resumes;
  resumes.by_channel = {{0, 400}, {1, 401}};
  correct_stream_ends(streams.data(), 2, resumes.search());
  EXPECT_EQ(streams[0].end, 400);
  EXPECT_EQ(streams[1].end, 401);
}

TEST(StreamEnds, TwoStreamsResumingApartKeepTheirOwnEnds) {
  auto streams = interleaved(2, 10, 50);
  Resumes resumes;
  resumes.by_channel = {{0, 400}, {1, 420}};
  correct_stream_ends(streams.data(), 2, resumes.search());
  EXPECT_EQ(streams[0].end, 400);
  EXPECT_EQ(streams[1].end, 420);
}

TEST(StreamEnds, ThreeStreamsNeedThreeInARow) {
  // Stream 1 resumes right after stream 0, but with three streams that is not
  // enough; stream 2 breaks the row, so no alignment happens.
  auto streams = interleaved(3, 10, 50);
  Resumes resumes;
  resumes.by_channel = {{0, 400}, {1, 401}, {2, 500}};
  correct_stream_ends(streams.data(), 3, resumes.search());
  EXPECT_EQ(streams[0].end, 400);
  EXPECT_EQ(streams[1].end, 401);
  EXPECT_EQ(streams[2].end, 500);
}

TEST(StreamEnds, OneStreamEndsWhereItResumesOrAtItsWalkedEnd) {
  auto streams = interleaved(1, 10, 50);
  Resumes resumes;
  resumes.by_channel = {{0, 77}};
  correct_stream_ends(streams.data(), 1, resumes.search());
  EXPECT_EQ(streams[0].end, 77);
  EXPECT_EQ(resumes.asked.front().second, 51);  // searched from last + 1

  auto lonely = interleaved(1, 10, 50);
  Resumes none;
  correct_stream_ends(lonely.data(), 1, none.search());
  EXPECT_EQ(lonely[0].end, 50);
}

TEST(StreamEnds, AStreamThatNeverResumesBreaksTheRow) {
  auto streams = interleaved(4, 10, 50);
  Resumes resumes;
  resumes.by_channel = {{0, 400}, {2, 402}, {3, 403}};  // channel 1 never resumes
  correct_stream_ends(streams.data(), 4, resumes.search());
  EXPECT_EQ(streams[1].end, 51);   // its walked end
  EXPECT_EQ(streams[2].end, 402);  // 402 != 51 + 1: no alignment yet
  // j = 3: 403 = 402 + 1, but 403 != 51 + 2: the ends stay individual.
  EXPECT_EQ(streams[3].end, 403);
  EXPECT_EQ(streams[0].end, 400);
}

}  // namespace
