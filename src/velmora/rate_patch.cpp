// Rewriting the frame rate fields of korvane's AVI header.
#include "velmora/rate_patch.hpp"

#include <cstring>

#include "base/byte_order.hpp"

namespace {

struct RateEntry {
  int32_t fps;
  uint32_t microseconds;
};
constexpr RateEntry kRates[] = {
    {30, 33333},
    {20, 50000},
    {15, 66666},
    {10, 100000},
};

// Offsets in the header (main AVI header, then the video stream header).
constexpr size_t kMicrosecondsPerFrameOffset = 32;
constexpr size_t kMaxBytesPerSecondOffset = 36;
constexpr size_t kWidthOffset = 64;
constexpr size_t kHeightOffset = 68;
constexpr size_t kStreamScaleOffset = 128;
constexpr size_t kStreamRateOffset = 132;
constexpr size_t kStreamStartOffset = 136;
constexpr uint32_t kBytesPerPixel = 3;  // 24-bit frames

// Where korvane's header holds its chunk identifiers and list types.
struct HeaderMark {
  size_t offset;
  const char* fourcc;
};
constexpr HeaderMark kHeaderMarks[] = {
    {0, "RIFF"}, {8, "AVI "}, {12, "LIST"}, {20, "hdrl"}, {24, "avih"},
    {88, "LIST"}, {96, "strl"}, {100, "strh"}, {108, "vids"},
};
constexpr size_t kFourccBytes = 4;
constexpr size_t kMainHeaderSizeOffset = 28;
constexpr uint32_t kMainHeaderBytes = 56;  // the "avih" chunk's size

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

uint32_t microseconds_per_frame(int32_t fps) {
  for (const RateEntry& rate : kRates)
    if (rate.fps == fps) return rate.microseconds;
  return 0;
}

bool patch_frame_rate(uint8_t* header, int32_t fps) {
  const uint32_t microseconds = microseconds_per_frame(fps);
  if (microseconds == 0) return false;
  const uint32_t width = get_le32(header + kWidthOffset);
  const uint32_t height = get_le32(header + kHeightOffset);
  const uint32_t bytes_per_second = height * width * static_cast<uint32_t>(fps) * kBytesPerPixel;
  // A picture stream that starts late (its sound comes first) keeps its
  // start in seconds: the frames it waits are counted again at the new rate.
  const uint32_t old_scale = get_le32(header + kStreamScaleOffset);
  const uint32_t old_rate = get_le32(header + kStreamRateOffset);
  const uint32_t start = get_le32(header + kStreamStartOffset);
  if (start != 0 && old_rate != 0) {
    const uint64_t numerator = uint64_t{start} * old_scale * static_cast<uint32_t>(fps);
    put_le32(header + kStreamStartOffset, static_cast<uint32_t>((2 * numerator + old_rate) / (2 * uint64_t{old_rate})));
  }
  put_le32(header + kMicrosecondsPerFrameOffset, microseconds);
  put_le32(header + kMaxBytesPerSecondOffset, bytes_per_second);
  put_le32(header + kStreamScaleOffset, 1);  // whole frames a second (korvane may have written 15/2)
  put_le32(header + kStreamRateOffset, static_cast<uint32_t>(fps));
  return true;
}

bool is_korvane_avi_header(const uint8_t* header) {
  for (const HeaderMark& mark : kHeaderMarks)
    if (std::memcmp(header + mark.offset, mark.fourcc, kFourccBytes) != 0) return false;
  return get_le32(header + kMainHeaderSizeOffset) == kMainHeaderBytes;
}

int32_t parse_rate_argument(const char* text) {
  while (is_space(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  if (*text < '0' || *text > '9') return 0;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT32_MAX) return 0;
  }
  if (*text != '\0') return 0;
  return static_cast<int32_t>(negative ? -value : value);
}
