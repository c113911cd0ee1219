#include "format/riff/avi_layout.hpp"

#include <cstring>

#include "base/byte_order.hpp"

namespace {

constexpr uint32_t kBytesPerPixel = 3;

// Header offsets.
constexpr int kRiffSize = 4;
constexpr int kMicrosecondsPerFrame = 32;
constexpr int kMaxBytesPerSecond = 36;
constexpr int kMainFlags = 44;
constexpr int kTotalFrames = 48;
constexpr int kStreams = 56;
constexpr int kMainBufferSize = 60;
constexpr int kMainWidth = 64;
constexpr int kMainHeight = 68;
constexpr int kStreamScale = 128;
constexpr int kStreamRate = 132;
constexpr int kStreamLength = 140;
constexpr int kStreamBufferSize = 144;
constexpr int kFrameRight = 164;
constexpr int kFrameBottom = 168;
constexpr int kBitmapHeaderSize = 180;
constexpr int kBitmapWidth = 184;
constexpr int kBitmapHeight = 188;
constexpr int kBitmapPlanes = 192;
constexpr int kBitmapBitCount = 194;
constexpr int kBitmapImageSize = 200;
constexpr int kMoviSize = 2040;

constexpr uint32_t kBitmapInfoBytes = 40;
constexpr uint32_t kPlanes = 1;
constexpr uint32_t kBitsPerPixel = 24;
constexpr uint32_t kHasIndex = 0x10;
constexpr uint32_t kIndexFlags = 8;  // the key-frame flag 0x10 is not set
constexpr uint32_t kJunkBytes = 1808;

struct ConstantChunk {
  int offset;
  const char* fourcc;
  uint32_t size;  // written after the identifier; list sizes count their type
};
constexpr ConstantChunk kConstantChunks[] = {
    {0, "RIFF", 0},        {12, "LIST", 200}, {24, "avih", 56}, {88, "LIST", 124},
    {100, "strh", 64},     {172, "strf", 40}, {220, "JUNK", kJunkBytes},
    {2036, "LIST", 0},
};
struct ConstantType {
  int offset;
  const char* fourcc;
};
constexpr ConstantType kConstantTypes[] = {
    {8, "AVI "}, {20, "hdrl"}, {96, "strl"}, {108, "vids"}, {112, "DIB "}, {2044, "movi"},
};

}  // namespace

void build_provisional_avi_header(uint8_t* h) {
  std::memset(h, 0, kAviHeaderBytes);
  for (const ConstantChunk& c : kConstantChunks) build_avi_chunk_header(h + c.offset, c.fourcc, c.size);
  for (const ConstantType& t : kConstantTypes) put_fourcc(h + t.offset, t.fourcc);
  put_le32(h + kMainFlags, kHasIndex);
  put_le32(h + kStreams, 1);
  put_le32(h + kStreamScale, 1);
  put_le32(h + kBitmapHeaderSize, kBitmapInfoBytes);
  put_le16(h + kBitmapPlanes, kPlanes);
  put_le16(h + kBitmapBitCount, kBitsPerPixel);
}

void complete_avi_header(uint8_t* h, const AviTotals& t) {
  const uint32_t image_bytes = t.width * t.height * kBytesPerPixel;
  put_le32(h + kRiffSize, t.riff_size);
  put_le32(h + kMicrosecondsPerFrame, frame_microseconds(t.rate));
  // W x H x 3 x rate / scale, kept to its low 32 bits.
  put_le32(h + kMaxBytesPerSecond, static_cast<uint32_t>(uint64_t{image_bytes} * t.rate.rate / t.rate.scale));
  put_le32(h + kTotalFrames, t.frames);
  put_le32(h + kMainBufferSize, image_bytes);
  put_le32(h + kMainWidth, t.width);
  put_le32(h + kMainHeight, t.height);
  put_le32(h + kStreamScale, t.rate.scale);
  put_le32(h + kStreamRate, t.rate.rate);
  put_le32(h + kStreamLength, t.frames);
  put_le32(h + kStreamBufferSize, image_bytes);
  put_le32(h + kFrameRight, t.width);
  put_le32(h + kFrameBottom, t.height);
  put_le32(h + kBitmapWidth, t.width);
  put_le32(h + kBitmapHeight, t.height);
  put_le32(h + kBitmapImageSize, image_bytes);
  put_le32(h + kMoviSize, t.movi_size);
}

void build_avi_index_entry(uint8_t* e, uint32_t offset, uint32_t size) {
  put_fourcc(e, "00db");
  put_le32(e + 4, kIndexFlags);
  put_le32(e + 8, offset);
  put_le32(e + 12, size);
}

void build_avi_chunk_header(uint8_t* c, const char* fourcc, uint32_t size) {
  put_fourcc(c, fourcc);
  put_le32(c + 4, size);
}
