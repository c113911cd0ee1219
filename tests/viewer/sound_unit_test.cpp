// The viewer's ADPCM unit decoders: shifts and filter terms that round
// toward minus infinity, a history that keeps the limited value, the SIMD
// decoder against the plain one, and the sample order of a whole sector.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "format/viewer/routine_table.hpp"
#include "modes/viewer/sound_stream.hpp"

namespace {

// A group whose unit u has parameter byte parameter and every nibble n.
std::vector<uint8_t> uniform_group(int unit, uint8_t parameter, int nibble) {
  std::vector<uint8_t> group(128, 0);
  group[4 + unit] = parameter;
  for (int i = 0; i < 28; ++i) {
    uint8_t& byte = group[16 + 4 * i + unit / 2];
    byte = (unit & 1) ? static_cast<uint8_t>((byte & 0x0F) | (nibble << 4))
                      : static_cast<uint8_t>((byte & 0xF0) | nibble);
  }
  return group;
}

std::vector<int16_t> decode_unit(SoundUnitFn decode, const std::vector<uint8_t>& group, int unit,
                                 AdpcmHistory& history) {
  std::vector<int16_t> out(28);
  AdpcmUnitState state;
  state.group = group.data();
  state.unit = unit;
  state.history = &history;
  state.out = out.data();
  decode(state);
  EXPECT_EQ(state.out, out.data() + 28);
  return out;
}

class SoundUnits : public ::testing::TestWithParam<SoundUnitFn> {};

TEST_P(SoundUnits, PlainNibblesAndShifts) {
  AdpcmHistory history;
  // Parameter 0: the nibble in the top four bits of 16, exactly.
  EXPECT_EQ(decode_unit(GetParam(), uniform_group(3, 0x00, 7), 3, history)[0], 7 * 4096);
  EXPECT_EQ(decode_unit(GetParam(), uniform_group(4, 0x00, 9), 4, history)[0], -7 * 4096);
  // Shift 12 leaves the nibble's own value.
  EXPECT_EQ(decode_unit(GetParam(), uniform_group(5, 0x0C, 13), 5, history)[27], -3);
  // Nibble 15 shifted by 15: -4096 >> 15 is -1, not 0.
  EXPECT_EQ(decode_unit(GetParam(), uniform_group(0, 0x0F, 15), 0, history)[0], -1);
}

TEST_P(SoundUnits, FilterTermsRoundTowardMinusInfinity) {
  // Filter 1 (K0 = 240), shift 12: -1 first, then (240 x -1) >> 8 = -1 for
  // every zero nibble after it.
  auto group = uniform_group(2, 0x1C, 0);
  group[16 + 1] = 0x0F;  // sample 0 of unit 2 (byte 1 of row 0, low nibble)
  AdpcmHistory history;
  const auto out = decode_unit(GetParam(), group, 2, history);
  EXPECT_EQ(out[0], -1);
  EXPECT_EQ(out[1], -1);
  EXPECT_EQ(out[27], -1);
}

TEST_P(SoundUnits, HistoryKeepsTheLimitedValue) {
  // Filter 2 with loud nibbles: 28672, then 28672 + 51520 limited to 32767.
  AdpcmHistory history;
  const auto out = decode_unit(GetParam(), uniform_group(1, 0x20, 7), 1, history);
  EXPECT_EQ(out[0], 28672);
  EXPECT_EQ(out[1], 32767);
  EXPECT_EQ(history.p1, 32767);
  EXPECT_EQ(history.p2, 32767);
  // Carried into the next unit: 0 + (460 x 32767 >> 8) + (-208 x 32767 >> 8).
  const auto next = decode_unit(GetParam(), uniform_group(1, 0x20, 0), 1, history);
  EXPECT_EQ(next[0], (460 * 32767 >> 8) + (-208 * 32767 >> 8));
}

INSTANTIATE_TEST_SUITE_P(PlainAndSimd, SoundUnits,
                         ::testing::Values(viewer_sound_unit_plain, viewer_sound_unit_mmx),
                         // Named by variant: the default name is the function's
                         // address, which changes from run to run.
                         [](const auto& variant) { return variant.index == 0 ? "Plain" : "Simd"; });

TEST(SoundUnits, SimdGivesThePlainSamplesOnRandomGroups) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> level(-32768, 32767);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> group(128);
    for (auto& b : group) b = static_cast<uint8_t>(byte(rng));
    const int unit = round % 8;
    AdpcmHistory plain_history{level(rng), level(rng)};
    AdpcmHistory simd_history = plain_history;
    const auto plain = decode_unit(viewer_sound_unit_plain, group, unit, plain_history);
    const auto simd = decode_unit(viewer_sound_unit_mmx, group, unit, simd_history);
    ASSERT_EQ(plain, simd) << "round " << round;
    ASSERT_EQ(plain_history.p1, simd_history.p1);
    ASSERT_EQ(plain_history.p2, simd_history.p2);
  }
}

// Every group: even units' nibbles 1, odd units' 2, parameter shift 12.
std::vector<uint8_t> labelled_sector_data() {
  std::vector<uint8_t> data(18 * 128, 0);
  for (int g = 0; g < 18; ++g) {
    uint8_t* group = &data[g * 128];
    for (int u = 0; u < 8; ++u) group[4 + u] = 0x0C;
    for (int i = 0; i < 28; ++i)
      for (int pair = 0; pair < 4; ++pair) group[16 + 4 * i + pair] = 0x21;
  }
  return data;
}

TEST(SoundSector, StereoInterleavesEvenUnitsLeftAndOddUnitsRight) {
  const auto data = labelled_sector_data();
  AdpcmHistory left, right;
  std::vector<int16_t> block(4032, 99);
  decode_viewer_sound_sector(data.data(), 2, kXaBits4, left, right, viewer_sound_unit_plain, block.data());
  for (int k = 0; k < 2016; ++k) {
    ASSERT_EQ(block[2 * k], 1) << k;
    ASSERT_EQ(block[2 * k + 1], 2) << k;
  }
}

TEST(SoundSector, MonoRunsGroupByGroupAndUnitByUnit) {
  auto data = labelled_sector_data();
  data[5 * 128 + 4 + 3] = 0x0B;  // group 5, unit 3: shift 11 doubles its samples
  AdpcmHistory left, right;
  std::vector<int16_t> block(4032);
  decode_viewer_sound_sector(data.data(), 1, kXaBits4, left, right, viewer_sound_unit_mmx, block.data());
  for (int g = 0; g < 18; ++g)
    for (int u = 0; u < 8; ++u)
      for (int i = 0; i < 28; ++i) {
        const int expected = (u & 1 ? 2 : 1) * (g == 5 && u == 3 ? 2 : 1);
        ASSERT_EQ(block[g * 224 + u * 28 + i], expected) << g << " " << u << " " << i;
      }
}

}  // namespace
