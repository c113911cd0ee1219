// Reading MODE SENSE, INQUIRY and READ TOC answers, well-formed and not.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/byte_order.hpp"
#include "format/aspi/aspi_cdb.hpp"
#include "format/aspi/aspi_responses.hpp"

namespace {

TEST(Capabilities, ReadsBothFormBitsAndTheBufferSize) {
  uint8_t page[kModeSenseBytes] = {};
  page[12] = 0x30;
  put_be16(page + 20, 1024);
  CdCapabilities caps = parse_capabilities(page);
  EXPECT_TRUE(caps.reads_form1);
  EXPECT_TRUE(caps.reads_form2);
  EXPECT_EQ(caps.buffer_kb, 1024u);
  page[12] = 0x10;
  caps = parse_capabilities(page);
  EXPECT_TRUE(caps.reads_form1);
  EXPECT_FALSE(caps.reads_form2);
  // Bits of the neighbouring bytes do not count.
  std::memset(page, 0, sizeof page);
  page[11] = 0x30;
  page[13] = 0x30;
  caps = parse_capabilities(page);
  EXPECT_FALSE(caps.reads_form1 || caps.reads_form2);
}

TEST(Inquiry, NameIsVendorAndProductEndedAtByte32) {
  uint8_t inquiry[512];
  std::memset(inquiry, 'X', sizeof inquiry);
  std::memcpy(inquiry + 8, "VENDOR  PRODUCT NAME    ", 24);
  finish_inquiry_text(inquiry);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + kInquiryNameOffset)),
            "VENDOR  PRODUCT NAME    ");
}

TEST(Inquiry, ControlBytesBecomeSpacesAndAShortAnswerReadsEmpty) {
  uint8_t inquiry[64] = {};
  std::memcpy(inquiry + 8, "AB\x1b[2J\r\n\x7f" "CD", 11);
  finish_inquiry_text(inquiry);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 8)), "AB [2J   CD");
  uint8_t short_answer[64] = {5, 0x80, 0, 0, 3, 0, 0, 0};
  finish_inquiry_text(short_answer);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(short_answer + 8)), "");
}

// A TOC answer with the given entry start addresses.
void make_toc(uint8_t* toc, std::initializer_list<uint32_t> starts) {
  std::memset(toc, 0, kReadTocBytes);
  put_be16(toc, static_cast<uint32_t>(2 + 8 * starts.size()));
  size_t i = 0;
  for (uint32_t start : starts) put_be32(toc + 4 + 8 * i++ + 4, start);
}

TEST(Toc, RangeRunsUpToTheSecondEntry) {
  uint8_t toc[kReadTocBytes];
  make_toc(toc, {0, 5000});
  TocRange range = parse_toc(toc, sizeof toc);
  ASSERT_TRUE(range.valid);
  EXPECT_EQ(range.first, 0);
  EXPECT_EQ(range.end, 5000);  // exclusive: sector 4999 is the disc's last
  make_toc(toc, {150, 900, 2000});
  range = parse_toc(toc, sizeof toc);
  ASSERT_TRUE(range.valid);
  EXPECT_EQ(range.first, 150);
  EXPECT_EQ(range.end, 900);
}

TEST(Toc, MalformedAnswersGiveNoRange) {
  uint8_t toc[kReadTocBytes];
  make_toc(toc, {0});  // one entry: the second address is stale
  put_be32(toc + 16, 777);
  EXPECT_FALSE(parse_toc(toc, sizeof toc).valid);
  make_toc(toc, {500, 400});  // out of order
  EXPECT_FALSE(parse_toc(toc, sizeof toc).valid);
  make_toc(toc, {0, 0});
  EXPECT_FALSE(parse_toc(toc, sizeof toc).valid);
  std::memset(toc, 0, sizeof toc);  // nothing delivered
  EXPECT_FALSE(parse_toc(toc, sizeof toc).valid);
  EXPECT_FALSE(parse_toc(toc, 3).valid);
}

TEST(Toc, ALengthFieldBeyondTheBufferIsCutToIt) {
  // 20 bytes hold the header and two entries; the field claims far more.
  uint8_t toc[20] = {};
  put_be16(toc, 0xFFFF);
  put_be32(toc + 8, 10);
  put_be32(toc + 16, 20);
  const TocRange range = parse_toc(toc, sizeof toc);
  ASSERT_TRUE(range.valid);
  EXPECT_EQ(range.end, 20);
  EXPECT_FALSE(parse_toc(toc, 19).valid) << "the second entry is cut off";
}

}  // namespace
