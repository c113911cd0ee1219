// The conversion decoders on hand-made bitstreams, and their direct lookups
// checked against a walk of the grouped tables bit by bit.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "format/mdec/bit_reader.hpp"
#include "format/mdec/code_tables.hpp"
#include "format/mdec/mdec_decode.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "tests/movie/bit_text.hpp"

namespace {

// An empty macroblock's remaining blocks in version 2: DC 0 and end of block.
const std::string kEmptyBlockV2 = "0000000000 10";

std::vector<int16_t> decode(DecodeStatus (*fn)(const uint8_t*, size_t, uint32_t, int16_t*),
                            const std::string& text, uint32_t macroblocks, DecodeStatus expect) {
  const std::vector<uint8_t> data = pack_bits(text);
  std::vector<int16_t> blocks(macroblocks * 6 * 64, 0);
  EXPECT_EQ(fn(data.data(), data.size(), macroblocks, blocks.data()), expect);
  return blocks;
}

std::string v2_macroblock(const std::string& first_block) {
  std::string s = first_block;
  for (int i = 0; i < 5; ++i) s += kEmptyBlockV2;
  return s;
}

TEST(DecodeV2, DcAndSimpleCodes) {
  auto b = decode(decode_v2, v2_macroblock("0000000101 10"), 1, DecodeStatus::kOk);
  EXPECT_EQ(b[0], 5);
  for (int k = 1; k < 64; ++k) EXPECT_EQ(b[k], 0);

  b = decode(decode_v2, v2_macroblock("1111111111 10"), 1, DecodeStatus::kOk);
  EXPECT_EQ(b[0], -1);

  // +1 at scan index 1, then run 1 level -1 at scan index 3.
  b = decode(decode_v2, v2_macroblock("0000000000 110 0111 10"), 1, DecodeStatus::kOk);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 1);
  EXPECT_EQ(b[2], 0);
  EXPECT_EQ(b[3], -1);
  for (int k = 4; k < 64; ++k) EXPECT_EQ(b[k], 0);
  // The second block is the next 64 coefficients.
  EXPECT_EQ(b[64], 0);
}

TEST(DecodeV2, EscapeAndExtremes) {
  // Escape run 0 level 0 stores 0 and moves on; then escape run 2 level -512;
  // then escape run 0 level 511; DC -512.
  const std::string block = "1000000000 000001 000000 0000000000 000001 000010 1000000000 "
                            "000001 000000 0111111111 10";
  auto b = decode(decode_v2, v2_macroblock(block), 1, DecodeStatus::kOk);
  EXPECT_EQ(b[0], -512);
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(b[4], -512);
  EXPECT_EQ(b[5], 511);
}

TEST(DecodeV2, LongestCodeAndFullBlock) {
  // Run 31 then run 30 (the longest codes, 17 bits with the sign) reach
  // index 63 exactly.
  const std::string run31 = "0000000000011011 0", run30 = "0000000000011100 0";
  auto b = decode(decode_v2, v2_macroblock("0000000000 " + run31 + run30 + "10"), 1, DecodeStatus::kOk);
  EXPECT_EQ(b[32], 1);
  EXPECT_EQ(b[64 - 1], 1);
}

TEST(DecodeV2, Errors) {
  // A code that begins with twelve zero bits matches nothing.
  decode(decode_v2, "0000000000 000000000000 00000", 1, DecodeStatus::kBadCode);
  // A second run of 31 would carry the position past 63; so would a
  // coefficient after index 63 is filled.
  const std::string run31 = "0000000000011011 0", run30 = "0000000000011100 0";
  decode(decode_v2, "0000000000 " + run31 + run31 + "10", 1, DecodeStatus::kRunPastBlock);
  decode(decode_v2, "0000000000 " + run31 + run30 + "110 10", 1, DecodeStatus::kRunPastBlock);
  // Escape runs are 6 bits: 63 from position 1 is past the block at once.
  decode(decode_v2, "0000000000 000001 111111 0000000001 10", 1, DecodeStatus::kRunPastBlock);
  // Data for one macroblock only, two asked for.
  decode(decode_v2, v2_macroblock(kEmptyBlockV2), 2, DecodeStatus::kPastEnd);
  // Nothing at all.
  decode(decode_v2, "", 1, DecodeStatus::kPastEnd);
  // A code cut by the end of the data: "0000000010110" + sign needs 14 bits.
  decode(decode_v2, "0000000000 000000", 1, DecodeStatus::kPastEnd);  // 16 bits, then nothing
}

TEST(DecodeV3, DcSizesAndPredictors) {
  // Macroblock 1: chroma sizes 0 ("00") and 1 ("01" + "1" = +1); luminance
  // "101 011" = -4, "101 100" = +4, "100" = 0 (keeps the predictor), "00 0" = -1.
  std::string mb1 = "00 10" "01 1 10" "101 011 10" "101 100 10" "100 10" "00 0 10";
  // Macroblock 2: everything size 0, so every DC equals its predictor.
  std::string mb2 = "00 10" "00 10" "100 10" "100 10" "100 10" "100 10";
  auto b = decode(decode_v3, mb1 + mb2, 2, DecodeStatus::kOk);
  const int16_t expected[12] = {0, 1, -4, 0, 0, -1, 0, 1, -1, -1, -1, -1};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(b[i * 64], expected[i]) << "block " << i;
}

TEST(DecodeV3, SizeElevenAndWrap) {
  // Luminance size 11 ("111111111") reads 11 bits: 00000000000 is -2047.
  // Chroma size 10 ("1111111110") with 1111111111 is +1023.
  std::string mb = "1111111110 1111111111 10" "00 10" "111111111 00000000000 10" "100 10" "100 10" "100 10";
  auto b = decode(decode_v3, mb, 1, DecodeStatus::kOk);
  EXPECT_EQ(b[0], 1023);
  EXPECT_EQ(b[128], -2047);
  EXPECT_EQ(b[5 * 64], -2047);
  // 16 macroblocks of +1023 on the first chroma predictor wrap past 32767.
  std::string many;
  for (int m = 0; m < 33; ++m) many += "1111111110 1111111111 10" "00 10" "100 10" "100 10" "100 10" "100 10";
  b = decode(decode_v3, many, 33, DecodeStatus::kOk);
  EXPECT_EQ(b[32 * 6 * 64], static_cast<int16_t>(33 * 1023));
}

// The decoding rule as the grouped tables describe it: start with 2 bits,
// look them up among the codes of that length, else append one more bit.
// Returns the table index of the triple, or -1 at the end marker.
int walk_grouped(const std::vector<int16_t>& table, BitReader& bits) {
  uint32_t acc = bits.read(2);
  size_t i = 0;
  for (int length = 2;; ++length) {
    const int count = table[i++];
    if (count == kGroupedTableEnd) return -1;
    for (int n = 0; n < count; ++n)
      if (static_cast<uint16_t>(table[i + 3 * n]) == acc) return static_cast<int>(i + 3 * n);
    i += 3 * count;
    acc = (acc << 1) | bits.read(1);
  }
}

TEST(CodeTables, DirectLookupAgreesWithGroupedWalk) {
  const std::vector<int16_t>& grouped = grouped_ac_table();
  const AcLookup& lookup = ac_lookup();
  // Every 17-bit pattern: both ways find the same code and length.
  for (uint32_t pattern = 0; pattern < (1u << 17); ++pattern) {
    const std::vector<uint8_t> data = pack_bits(bits_of(pattern, 17) + "0000000000000000");
    BitReader walk(data.data(), data.size());
    const int at = walk_grouped(grouped, walk);
    const AcLookupEntry& e = lookup.find(pattern);
    if (at < 0) {
      ASSERT_EQ(e.kind, kAcInvalid) << pattern;
      continue;
    }
    // The code's length is that of the group holding the triple found.
    size_t i = 0;
    int length = 2;
    for (;; ++length) {
      const int count = grouped[i++];
      if (static_cast<size_t>(at) < i + 3 * count) break;
      i += 3 * count;
    }
    ASSERT_EQ(e.length, length) << pattern;
    ASSERT_EQ(e.run, grouped[at + 1]) << pattern;
    ASSERT_EQ(e.level, grouped[at + 2]) << pattern;
    const bool escape = grouped[at] == kEscapeCodeValue;
    ASSERT_EQ(e.kind == kAcEscape, escape) << pattern;
  }
}

TEST(CodeTables, GroupedTableShape) {
  const std::vector<int16_t>& t = grouped_ac_table();
  // 224 entries: end of block, escape and 111 codes in both signs.
  size_t i = 0, entries = 0;
  std::vector<int> counts;
  for (int length = 2; t[i] != kGroupedTableEnd; ++length) {
    counts.push_back(t[i]);
    entries += t[i];
    i += 1 + 3 * t[i];
  }
  EXPECT_EQ(entries, 224u);
  EXPECT_EQ(counts.size(), 16u);  // lengths 2..17
  EXPECT_EQ(counts[10 - 2], 0);
  EXPECT_EQ(counts[12 - 2], 0);
  EXPECT_EQ(i + 1, t.size());
  // The first group: "10" end of block (value 2, run 0, level 0).
  EXPECT_EQ(t[0], 1);
  EXPECT_EQ(t[1], 2);
  EXPECT_EQ(t[2], 0);
  EXPECT_EQ(t[3], 0);
}

TEST(CodeTables, DcSizeLookupsMatchTheCodes) {
  for (int size = 0; size < kDcSizeCount; ++size) {
    const std::string lum = kDcSizeLuminanceBits[size];
    const std::string chroma = kDcSizeChrominanceBits[size];
    const uint32_t lum_index = code_value(lum.c_str()) << (10 - lum.size());
    const uint32_t chroma_index = code_value(chroma.c_str()) << (10 - chroma.size());
    EXPECT_EQ(dc_luminance_lookup().entry[lum_index].size, size);
    EXPECT_EQ(dc_luminance_lookup().entry[lum_index].length, lum.size());
    EXPECT_EQ(dc_chrominance_lookup().entry[chroma_index].size, size);
    EXPECT_EQ(dc_chrominance_lookup().entry[chroma_index].length, chroma.size());
  }
  // Half ranges in the grouped layout: size 3 has 4, size 0 has 0.
  const std::vector<int16_t>& g = grouped_dc_luminance_table();
  bool seen3 = false, seen0 = false;
  for (size_t i = 0; g[i] != kGroupedTableEnd;) {
    const int count = g[i++];
    for (int n = 0; n < count; ++n, i += 3) {
      if (g[i + 1] == 3) seen3 = g[i + 2] == 4;
      if (g[i + 1] == 0) seen0 = g[i + 2] == 0;
    }
  }
  EXPECT_TRUE(seen3);
  EXPECT_TRUE(seen0);
}

TEST(BitReader, WordOrderAndEnd) {
  // Bytes 0x34 0x12 form the word 0x1234, read from its top bit.
  const uint8_t data[] = {0x34, 0x12, 0xCD, 0xAB, 0xFF};
  BitReader bits(data, sizeof data);
  EXPECT_EQ(bits.read(4), 0x1u);
  EXPECT_EQ(bits.read(16), 0x234Au);
  EXPECT_EQ(bits.read_signed(12), static_cast<int32_t>(0xBCD) - 4096);
  EXPECT_FALSE(bits.overrun());
  // The odd last byte is no word; past the end everything reads 0.
  EXPECT_EQ(bits.peek(8), 0u);
  bits.skip(1);
  EXPECT_TRUE(bits.overrun());
}

}  // namespace
