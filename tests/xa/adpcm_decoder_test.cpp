// Bit-exact decoding of hand-made XA sound groups: nibble scaling, shift
// truncation, filter rounding, limiting with an unlimited history, and the
// mono / stereo layouts of a sector.
#include "format/xa/adpcm_decoder.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kParam = 4;   // parameter byte of unit u at kParam + u
constexpr int kRows = 16;   // sample rows

struct Group {
  uint8_t bytes[kSoundGroupBytes] = {};
  void set_parameter(int unit, int filter, int shift) {
    bytes[kParam + unit] = static_cast<uint8_t>((filter << 4) | shift);
  }
  void set_nibble(int unit, int sample, int nibble) {
    uint8_t& b = bytes[kRows + 4 * sample + unit / 2];
    if (unit % 2 == 0) {
      b = static_cast<uint8_t>((b & 0xF0) | nibble);
    } else {
      b = static_cast<uint8_t>((b & 0x0F) | (nibble << 4));
    }
  }
  void fill_unit(int unit, int nibble) {
    for (int i = 0; i < kSamplesPerUnit; ++i) set_nibble(unit, i, nibble);
  }
};

std::vector<int16_t> decode_unit(const Group& group, int unit, AdpcmHistory& history) {
  std::vector<int16_t> out(kSamplesPerUnit);
  AdpcmUnitState state;
  state.group = group.bytes;
  state.unit = unit;
  state.history = &history;
  state.out = out.data();
  decode_sound_unit(state);
  return out;
}

TEST(AdpcmUnit, ZeroParametersGiveNibblesTimes4096) {
  Group group;
  for (int i = 0; i < kSamplesPerUnit; ++i) group.set_nibble(3, i, i % 16);
  AdpcmHistory history{1000, -1000};  // filter 0 ignores the history
  const auto out = decode_unit(group, 3, history);
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const int n = i % 16;
    EXPECT_EQ(out[i], (n < 8 ? n : n - 16) * 4096) << "sample " << i;
  }
  EXPECT_EQ(history.p1, out[27]);
  EXPECT_EQ(history.p2, out[26]);
}

TEST(AdpcmUnit, ShiftTwelveGivesTheNibbleItself) {
  Group group;
  group.set_parameter(0, 0, 12);
  for (int i = 0; i < 16; ++i) group.set_nibble(0, i, i);
  AdpcmHistory history;
  const auto out = decode_unit(group, 0, history);
  for (int n = 0; n < 16; ++n) EXPECT_EQ(out[n], n < 8 ? n : n - 16);
}

TEST(AdpcmUnit, ShiftStepsTruncateTowardZero) {
  // An arithmetic right shift would round most of these down (-1, -4).
  struct Case { int shift, nibble, expected; };
  const Case cases[] = {{13, 15, 0}, {14, 15, 0}, {15, 15, 0}, {15, 8, -1}, {11, 15, -2}, {13, 9, -3}};
  for (const Case& c : cases) {
    Group group;
    group.set_parameter(0, 0, c.shift);
    group.fill_unit(0, c.nibble);
    AdpcmHistory history;
    EXPECT_EQ(decode_unit(group, 0, history)[0], c.expected) << "shift " << c.shift;
  }
}

TEST(AdpcmUnit, FilterTermsRoundTowardZero) {
  Group group;
  group.set_parameter(0, 1, 12);  // K0 = 240
  group.set_parameter(1, 2, 12);  // K0 = 460, K1 = -208
  group.set_parameter(2, 3, 12);  // K0 = 392, K1 = -220

  AdpcmHistory h1{-1, 0};
  EXPECT_EQ(decode_unit(group, 0, h1)[0], 0);  // 240 * -1 / 256 is 0, not -1

  AdpcmHistory h2{0, 1};
  EXPECT_EQ(decode_unit(group, 1, h2)[0], 0);  // -208 / 256 is 0

  AdpcmHistory h3{1000, 500};
  const auto out = decode_unit(group, 2, h3);
  // 392 * 1000 / 256 = 1531 (1531.25); -220 * 500 / 256 = -429 (-429.69)
  EXPECT_EQ(out[0], 1531 - 429);
  // next: 392 * 1102 / 256 = 1687 (1687.5); -220 * 1000 / 256 = -859 (-859.4)
  EXPECT_EQ(out[1], 1687 - 859);
}

TEST(AdpcmUnit, LimitingKeepsTheValueBeforeLimitingInTheHistory) {
  Group group;
  group.set_parameter(0, 1, 0);  // loud: 28672 each step with K0 = 240
  group.fill_unit(0, 7);
  group.set_parameter(1, 1, 12);  // then silence: only the filter term
  group.fill_unit(1, 0);
  AdpcmHistory history;
  const auto loud = decode_unit(group, 0, history);
  EXPECT_EQ(loud[0], 28672);
  for (int i = 1; i < kSamplesPerUnit; ++i) EXPECT_EQ(loud[i], 32767);
  EXPECT_GT(history.p1, 300000);  // on its way to 28672 * 16
  const int32_t before = history.p1;
  const auto decay = decode_unit(group, 1, history);
  // A limited history would start the decay at 240 * 32767 / 256 = 30719.
  EXPECT_EQ(decay[0], 32767);
  EXPECT_EQ(history.p1 > 0, true);
  int32_t expected = before;
  for (int i = 0; i < kSamplesPerUnit; ++i) expected = expected * 240 / 256;
  EXPECT_EQ(history.p1, expected);
}

TEST(AdpcmUnit, NegativeOverloadIsLimitedToMinus32768) {
  Group group;
  group.set_parameter(0, 1, 0);
  group.fill_unit(0, 8);  // -32768 each step
  AdpcmHistory history;
  const auto out = decode_unit(group, 0, history);
  EXPECT_EQ(out[0], -32768);
  EXPECT_EQ(out[27], -32768);
  EXPECT_LT(history.p1, -32768);
}

TEST(AdpcmUnit, FilterNumbersBeyondTheTableUseTheLowTwoBits) {
  Group group;
  group.set_parameter(0, 0x5, 3);  // 0101: row 1
  group.set_parameter(1, 0x1, 3);
  group.set_parameter(2, 0xF, 3);  // 1111: row 3
  group.set_parameter(3, 0x3, 3);
  for (int u = 0; u < 4; ++u)
    for (int i = 0; i < kSamplesPerUnit; ++i) group.set_nibble(u, i, (i * 5 + 3) % 16);
  for (int u = 0; u < 4; u += 2) {
    AdpcmHistory a{1234, -777}, b{1234, -777};
    EXPECT_EQ(decode_unit(group, u, a), decode_unit(group, u + 1, b)) << "unit " << u;
  }
}

// A sector's sound data with deterministic pseudo-random bytes and sane
// parameters (shift 0..12, filters 0..3).
std::vector<uint8_t> noisy_sound_data(uint32_t seed) {
  std::vector<uint8_t> data(kSoundDataBytes + 20);
  for (auto& b : data) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 16);
  }
  for (int g = 0; g < kSoundGroupsPerSector; ++g)
    for (int u = 0; u < kUnitsPerGroup; ++u) {
      uint8_t& p = data[g * kSoundGroupBytes + kParam + u];
      p = static_cast<uint8_t>(((p >> 4) & 3) << 4 | ((p & 0x0F) % 13));
    }
  return data;
}

TEST(AdpcmSector, MonoIsGroupByGroupUnitByUnit) {
  const auto data = noisy_sound_data(7);
  std::vector<int16_t> sector(kSamplesPerSector);
  AdpcmHistory history;
  decode_xa_mono(data.data(), history, sector.data());

  AdpcmHistory unit_history;
  Group group;
  for (int g = 0; g < kSoundGroupsPerSector; ++g) {
    std::memcpy(group.bytes, data.data() + g * kSoundGroupBytes, kSoundGroupBytes);
    for (int u = 0; u < kUnitsPerGroup; ++u) {
      const auto unit = decode_unit(group, u, unit_history);
      const int at = (g * kUnitsPerGroup + u) * kSamplesPerUnit;
      ASSERT_TRUE(std::equal(unit.begin(), unit.end(), sector.begin() + at)) << g << "/" << u;
    }
  }
  EXPECT_EQ(history.p1, unit_history.p1);
  EXPECT_EQ(history.p2, unit_history.p2);
}

TEST(AdpcmSector, TrailingBytesAfterTheLastGroupHaveNoEffect) {
  auto data = noisy_sound_data(11);
  std::vector<int16_t> first(kSamplesPerSector), second(kSamplesPerSector);
  AdpcmHistory a, b, c, d;
  decode_xa_stereo(data.data(), a, b, first.data());
  for (int i = kSoundDataBytes; i < kSoundDataBytes + 20; ++i) data[i] ^= 0xFF;
  decode_xa_stereo(data.data(), c, d, second.data());
  EXPECT_EQ(first, second);
}

TEST(AdpcmSector, StereoTakesLeftFromEvenAndRightFromOddUnits) {
  std::vector<uint8_t> data(kSoundDataBytes);
  Group group;
  for (int u = 0; u < kUnitsPerGroup; ++u) {
    group.set_parameter(u, 0, 12);
    group.fill_unit(u, u);  // each unit's samples are its own number
  }
  for (int g = 0; g < kSoundGroupsPerSector; ++g)
    std::memcpy(data.data() + g * kSoundGroupBytes, group.bytes, kSoundGroupBytes);
  std::vector<int16_t> out(kSamplesPerSector);
  AdpcmHistory left, right;
  decode_xa_stereo(data.data(), left, right, out.data());
  for (int k = 0; k < kSamplesPerSector / 2; ++k) {
    const int unit_pair = (k / kSamplesPerUnit) % 4;  // 0..3 within a group
    ASSERT_EQ(out[2 * k], 2 * unit_pair) << "left " << k;
    ASSERT_EQ(out[2 * k + 1], 2 * unit_pair + 1) << "right " << k;
  }
}

TEST(AdpcmSector, StereoChannelsKeepSeparateHistories) {
  const auto data = noisy_sound_data(3);
  std::vector<int16_t> out(kSamplesPerSector);
  AdpcmHistory left, right{5000, 5000};
  decode_xa_stereo(data.data(), left, right, out.data());
  // Same data decoded with a different left history only: right samples equal.
  std::vector<int16_t> again(kSamplesPerSector);
  AdpcmHistory left2{-9000, 300}, right2{5000, 5000};
  decode_xa_stereo(data.data(), left2, right2, again.data());
  for (int k = 0; k < kSamplesPerSector / 2; ++k) ASSERT_EQ(out[2 * k + 1], again[2 * k + 1]);
  EXPECT_EQ(right.p1, right2.p1);
}

// 8-bit groups: four units, sample i of unit u the whole byte at 16 + 4i + u.
TEST(AdpcmEightBit, BytesStandInBitsEightToFifteenBeforeTheShift) {
  Group group;
  group.set_parameter(1, 0, 0);
  group.set_parameter(2, 0, 8);  // shift 8 gives the byte itself
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    group.bytes[kRows + 4 * i + 1] = static_cast<uint8_t>(i * 9 - 120);
    group.bytes[kRows + 4 * i + 2] = static_cast<uint8_t>(i * 9 - 120);
  }
  std::vector<int16_t> out(kSamplesPerUnit);
  AdpcmHistory history;
  AdpcmUnitState state;
  state.group = group.bytes;
  state.history = &history;
  for (int unit : {1, 2}) {
    state.unit = unit;
    state.out = out.data();
    decode_sound_unit_8bit(state);
    for (int i = 0; i < kSamplesPerUnit; ++i)
      ASSERT_EQ(out[i], static_cast<int8_t>(i * 9 - 120) * (unit == 1 ? 256 : 1)) << unit << " " << i;
  }
}

TEST(AdpcmEightBit, SectorsGive2016SamplesInUnitOrder) {
  std::vector<uint8_t> data(kSoundDataBytes);
  Group group;
  for (int u = 0; u < kUnitsPerGroup8Bit; ++u) {
    group.set_parameter(u, 0, 8);
    for (int i = 0; i < kSamplesPerUnit; ++i) group.bytes[kRows + 4 * i + u] = static_cast<uint8_t>(u + 1);
  }
  for (int g = 0; g < kSoundGroupsPerSector; ++g)
    std::memcpy(data.data() + g * kSoundGroupBytes, group.bytes, kSoundGroupBytes);
  std::vector<int16_t> mono(kSamplesPerSector8Bit + 1, 99), stereo(kSamplesPerSector8Bit + 1, 99);
  AdpcmHistory a, b, c;
  decode_xa_mono_8bit(data.data(), a, mono.data());
  decode_xa_stereo_8bit(data.data(), b, c, stereo.data());
  for (int k = 0; k < kSamplesPerSector8Bit; ++k) ASSERT_EQ(mono[k], (k / kSamplesPerUnit) % 4 + 1) << k;
  for (int k = 0; k < kSamplesPerSector8Bit / 2; ++k) {
    const int pair = (k / kSamplesPerUnit) % 2;  // units 0/1, then 2/3
    ASSERT_EQ(stereo[2 * k], 2 * pair + 1) << "left " << k;
    ASSERT_EQ(stereo[2 * k + 1], 2 * pair + 2) << "right " << k;
  }
  EXPECT_EQ(mono[kSamplesPerSector8Bit], 99);  // nothing past the sector's samples
  EXPECT_EQ(stereo[kSamplesPerSector8Bit], 99);
}

// A stream of sound data that reaches every corner of the decoder: every
// parameter byte 0..255 (filter numbers 4 to 15, shifts 13 to 15), random
// samples, and loud units (one extreme sample repeated, shift 0) that limit
// at +-32767 / -32768 again and again while the history runs far past them.
std::vector<uint8_t> stress_stream(int sectors, uint32_t seed) {
  std::vector<uint8_t> data(static_cast<size_t>(sectors) * kSoundDataBytes);
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  for (auto& b : data) b = next();
  for (size_t g = 0; g < data.size() / kSoundGroupBytes; ++g) {
    uint8_t* group = data.data() + g * kSoundGroupBytes;
    for (int u = 0; u < kUnitsPerGroup; ++u) {
      // All 256 values in turn, in the first four units (the ones 8-bit
      // groups use) and in the last four.
      group[kParam + u] = static_cast<uint8_t>(g * kUnitsPerGroup8Bit + u % kUnitsPerGroup8Bit + u / 4 * 128);
      if (next() % 4 != 0) continue;
      // A loud unit: a filter that adds up, shift 0, one extreme value in
      // every sample: both nibbles of the unit's 4-bit column, and its 8-bit
      // column.
      const uint8_t extreme = next() % 2 == 0 ? 0x77 : 0x88;
      group[kParam + u] = static_cast<uint8_t>((1 + next() % 3) << 4);
      for (int i = 0; i < kSamplesPerUnit; ++i) {
        group[kRows + 4 * i + u / 2] = extreme;
        group[kRows + 4 * i + u % kUnitsPerGroup8Bit] = extreme;
      }
    }
  }
  return data;
}

// The reference: a chain of single-unit calls per channel, interleaved.
void decode_stream_by_units(const std::vector<uint8_t>& data, bool eight_bit, bool stereo,
                            AdpcmHistory& left, AdpcmHistory& right, std::vector<int16_t>& out) {
  const int units = eight_bit ? kUnitsPerGroup8Bit : kUnitsPerGroup;
  std::vector<int16_t> unit(kSamplesPerUnit);
  std::vector<int16_t> channel_samples[2];
  for (size_t g = 0; g < data.size() / kSoundGroupBytes; ++g)
    for (int u = 0; u < units; ++u) {
      const int channel = stereo ? u % 2 : 0;
      AdpcmUnitState state;
      state.group = data.data() + g * kSoundGroupBytes;
      state.unit = u;
      state.history = channel == 0 ? &left : &right;
      state.out = unit.data();
      if (eight_bit)
        decode_sound_unit_8bit(state);
      else
        decode_sound_unit(state);
      channel_samples[channel].insert(channel_samples[channel].end(), unit.begin(), unit.end());
    }
  out.clear();
  if (!stereo) {
    out = channel_samples[0];
    return;
  }
  for (size_t k = 0; k < channel_samples[0].size(); ++k) {
    out.push_back(channel_samples[0][k]);
    out.push_back(channel_samples[1][k]);
  }
}

// The same stream through the sector decoders, sector by sector.
void decode_stream_by_sectors(const std::vector<uint8_t>& data, bool eight_bit, bool stereo,
                              AdpcmHistory& left, AdpcmHistory& right, std::vector<int16_t>& out) {
  XaCoding coding{};
  coding.channels = stereo ? 2 : 1;
  coding.bits = eight_bit ? kXaBits8 : kXaBits4;
  std::vector<int16_t> sector(kSamplesPerSector);
  out.clear();
  for (size_t at = 0; at < data.size(); at += kSoundDataBytes) {
    const int count = decode_xa_sector_samples(data.data() + at, coding, left, right, sector.data());
    out.insert(out.end(), sector.begin(), sector.begin() + count);
  }
}

TEST(AdpcmSector, SectorDecodersMatchTheUnitChainSampleForSample) {
  constexpr int kSectors = 48;
  const auto data = stress_stream(kSectors, 2024);
  for (const bool eight_bit : {false, true})
    for (const bool stereo : {false, true}) {
      SCOPED_TRACE(std::string(eight_bit ? "8-bit" : "4-bit") + (stereo ? " stereo" : " mono"));
      AdpcmHistory unit_left, unit_right, sector_left, sector_right;
      std::vector<int16_t> by_units, by_sectors;
      decode_stream_by_units(data, eight_bit, stereo, unit_left, unit_right, by_units);
      decode_stream_by_sectors(data, eight_bit, stereo, sector_left, sector_right, by_sectors);
      ASSERT_EQ(by_sectors.size(), by_units.size());
      for (size_t k = 0; k < by_units.size(); ++k) ASSERT_EQ(by_sectors[k], by_units[k]) << "sample " << k;
      EXPECT_EQ(sector_left.p1, unit_left.p1);
      EXPECT_EQ(sector_left.p2, unit_left.p2);
      EXPECT_EQ(sector_right.p1, unit_right.p1);
      EXPECT_EQ(sector_right.p2, unit_right.p2);
      // The stream did what it is for: every parameter byte decoded, and
      // many limited samples.
      std::vector<bool> seen(256);
      for (size_t g = 0; g < data.size() / kSoundGroupBytes; ++g)
        for (int u = 0; u < (eight_bit ? kUnitsPerGroup8Bit : kUnitsPerGroup); ++u)
          seen[data[g * kSoundGroupBytes + kParam + u]] = true;
      EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 256);
      const auto limited = std::count_if(by_units.begin(), by_units.end(),
                                         [](int16_t v) { return v == 32767 || v == -32768; });
      EXPECT_GT(limited, static_cast<long>(by_units.size() / 20));
    }
}

TEST(AdpcmSector, HistoriesFarOutsideWhatDecodingMakesStillMatchTheUnitChain) {
  auto data = stress_stream(4, 77);
  for (int u = 0; u < kUnitsPerGroup; ++u) data[kParam + u] = 0x20 | u;  // filter 2 takes the history up first
  // The last two lie just inside and just outside what the one-pass decoder takes.
  const AdpcmHistory extremes[] = {{2147483647, -2147483647 - 1}, {-2000000000, 2000000000},
                                   {16777216, -16777216}, {16777217, 0}};
  for (const bool eight_bit : {false, true})
    for (const bool stereo : {false, true})
      for (const AdpcmHistory& start : extremes) {
        AdpcmHistory unit_left = start, unit_right{start.p2, start.p1}, sector_left = unit_left,
                     sector_right = unit_right;
        std::vector<int16_t> by_units, by_sectors;
        decode_stream_by_units(data, eight_bit, stereo, unit_left, unit_right, by_units);
        decode_stream_by_sectors(data, eight_bit, stereo, sector_left, sector_right, by_sectors);
        ASSERT_EQ(by_sectors, by_units) << eight_bit << stereo << " " << start.p1;
        EXPECT_EQ(sector_left.p1, unit_left.p1);
        EXPECT_EQ(sector_left.p2, unit_left.p2);
        EXPECT_EQ(sector_right.p1, unit_right.p1);
        EXPECT_EQ(sector_right.p2, unit_right.p2);
      }
}

}  // namespace
