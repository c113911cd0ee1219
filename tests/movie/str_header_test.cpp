// The chunk-0 checks of the STR sector header and the picture size rounding.
#include <gtest/gtest.h>

#include "base/byte_order.hpp"
#include "format/mdec/str_header.hpp"

namespace {

struct UserData {
  uint8_t bytes[2048] = {};
  UserData(uint16_t status, uint16_t type, uint16_t chunk, uint16_t chunks, uint32_t frame) {
    put_le16(bytes, status);
    put_le16(bytes + 2, type);
    put_le16(bytes + 4, chunk);
    put_le16(bytes + 6, chunks);
    put_le32(bytes + 8, frame);
    put_le16(bytes + 16, 328);
    put_le16(bytes + 18, 200);
    put_le16(bytes + 36, 7);  // quantisation scale
    put_le16(bytes + 38, 3);  // version
  }
};

HeaderCheck check(const UserData& d, uint32_t expected) {
  return classify_str_header(parse_str_header(d.bytes), expected);
}

TEST(StrHeader, FieldsAndRounding) {
  const StrSectorHeader h = parse_str_header(UserData(0x0160, 0x8001, 0, 9, 4).bytes);
  EXPECT_EQ(h.chunks_per_frame, 9);
  EXPECT_EQ(h.frame_number, 4u);
  EXPECT_EQ(h.quant_scale, 7);
  EXPECT_EQ(h.version, 3);
  EXPECT_EQ(round_picture_size(h.width), 336u);
  EXPECT_EQ(round_picture_size(h.height), 208u);
  EXPECT_EQ(round_picture_size(320), 320u);
  EXPECT_EQ(round_picture_size(240), 240u);
  EXPECT_EQ(round_picture_size(65535), 0u);  // rounding stays in 16 bits
}

TEST(StrHeader, Checks) {
  EXPECT_EQ(check(UserData(0x0160, 0x8001, 0, 9, 1), 1), HeaderCheck::kOpensFrame);
  // Only the high nibble of the low byte of the status word counts.
  EXPECT_EQ(check(UserData(0xFF6F, 0x8001, 0, 9, 1), 1), HeaderCheck::kOpensFrame);
  EXPECT_EQ(check(UserData(0x0150, 0x8001, 0, 9, 1), 1), HeaderCheck::kBadHeader);
  EXPECT_EQ(check(UserData(0x0160, 0x8002, 0, 9, 1), 1), HeaderCheck::kBadHeader);
  // Bad header before misplaced chunk, misplaced chunk before the frame number.
  EXPECT_EQ(check(UserData(0x0150, 0x8001, 3, 9, 5), 1), HeaderCheck::kBadHeader);
  EXPECT_EQ(check(UserData(0x0160, 0x8001, 3, 9, 5), 1), HeaderCheck::kMisplacedChunk);
  EXPECT_EQ(check(UserData(0x0160, 0x8001, 0, 9, 2), 1), HeaderCheck::kOtherFrame);
  // A frame of no chunks is a damaged header, but only for the expected frame.
  EXPECT_EQ(check(UserData(0x0160, 0x8001, 0, 0, 1), 1), HeaderCheck::kBadHeader);
  EXPECT_EQ(check(UserData(0x0160, 0x8001, 0, 0, 7), 1), HeaderCheck::kOtherFrame);
}

}  // namespace
