// XA ADPCM encoder. Each 28-sample sound unit tries every filter (0..3) and
// shift (0..12), picks each nibble to land nearest the source through the
// decoder's exact arithmetic (truncating divisions, history kept before
// limiting), and keeps the filter and shift with the smallest error.
#include "tools/mkdisc/xa_encoder.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace mkdisc {

namespace {

constexpr int kRateFull = 37800;
constexpr int kRateHalf = 18900;
constexpr int kFilters = 4;
constexpr int kMaxUsefulShift = 12;      // with 13..15 a nibble is worth less than 1
constexpr int kNibbleScale = 4096;       // a nibble sits in bits 12..15
constexpr int kFilterDivisor = 256;      // coefficients are in 1/256
constexpr int kParamOffset = 4;          // parameter of unit u at byte 4 + u
constexpr int kParamCopyLow = 0;         // copy of units 0..3 at bytes 0..3
constexpr int kParamCopyHigh = 8;        // copy of units 4..7 at bytes 12..15 (8 + u)
constexpr int kSampleOffset = 16;        // row i of samples at 16 + 4 * i
constexpr int kRowBytes = 4;
constexpr int kInterleaveFullStereo = 8;
constexpr int kSectorDataBytes = kMode2SectorBytes - subheader::kBytes;
static_assert(kSoundGroups * kSoundGroupBytes <= kSectorDataBytes);

constexpr int kK0[kFilters] = {0, 240, 460, 392};
constexpr int kK1[kFilters] = {0, 0, -208, -220};

int16_t limit16(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

int32_t nibble_value(int nibble, int shift) {
  // Signed nibble in bits 12..15, divided by 2^shift toward zero.
  return nibble * kNibbleScale / (1 << shift);
}

int32_t prediction(int filter, const AdpcmHistory& h) {
  return kK0[filter] * h.p1 / kFilterDivisor + kK1[filter] * h.p2 / kFilterDivisor;
}

struct UnitChoice {
  int filter = 0;
  int shift = 0;
  int nibbles[kSamplesPerUnit] = {};
  AdpcmHistory history;
  int64_t error = -1;
};

// The best nibbles of one unit for one filter and shift, starting from `h`.
UnitChoice try_unit(const int16_t* src, int filter, int shift, AdpcmHistory h) {
  UnitChoice c;
  c.filter = filter;
  c.shift = shift;
  c.error = 0;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const int32_t pred = prediction(filter, h);
    const int32_t want = src[i] - pred;
    const int guess = static_cast<int>(std::lround(static_cast<double>(want) * (1 << shift) / kNibbleScale));
    int best_n = 0;
    int64_t best_e = -1;
    int32_t best_s = 0;
    for (int d = -1; d <= 1; ++d) {
      const int n = std::clamp(guess + d, -8, 7);
      const int32_t s = nibble_value(n, shift) + pred;
      const int64_t e = static_cast<int64_t>(limit16(s) - src[i]) * (limit16(s) - src[i]);
      if (best_e < 0 || e < best_e) {
        best_e = e;
        best_n = n;
        best_s = s;
      }
    }
    c.nibbles[i] = best_n;
    c.error += best_e;
    h.p2 = h.p1;
    h.p1 = best_s;
  }
  c.history = h;
  return c;
}

UnitChoice encode_unit(const int16_t* src, AdpcmHistory h) {
  UnitChoice best;
  for (int f = 0; f < kFilters; ++f)
    for (int s = 0; s <= kMaxUsefulShift; ++s) {
      UnitChoice c = try_unit(src, f, s, h);
      if (best.error < 0 || c.error < best.error) best = c;
    }
  return best;
}

void store_unit(uint8_t* group, int unit, const UnitChoice& c) {
  const uint8_t param = static_cast<uint8_t>((c.filter << 4) | c.shift);
  group[kParamOffset + unit] = param;
  group[unit < 4 ? kParamCopyLow + unit : kParamCopyHigh + unit] = param;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    uint8_t& b = group[kSampleOffset + kRowBytes * i + unit / 2];
    const uint8_t nib = static_cast<uint8_t>(c.nibbles[i] & 0x0F);
    b = (unit & 1) ? static_cast<uint8_t>((b & 0x0F) | (nib << 4)) : static_cast<uint8_t>((b & 0xF0) | nib);
  }
}

// Decodes one unit exactly as the decoder does.
void decode_unit(const uint8_t* group, int unit, AdpcmHistory& h, int16_t* out) {
  const uint8_t param = group[kParamOffset + unit];
  const int shift = param & 0x0F, filter = param >> 4;
  const int k0 = filter < kFilters ? kK0[filter] : 0, k1 = filter < kFilters ? kK1[filter] : 0;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const uint8_t b = group[kSampleOffset + kRowBytes * i + unit / 2];
    const int n = (unit & 1) ? b >> 4 : b & 0x0F;
    const int32_t t = nibble_value(n >= 8 ? n - 16 : n, shift);
    const int32_t s = t + k0 * h.p1 / kFilterDivisor + k1 * h.p2 / kFilterDivisor;
    out[i] = limit16(s);
    h.p2 = h.p1;
    h.p1 = s;
  }
}

}  // namespace

int samples_per_sector(const AudioFormat& f) {
  return kSoundGroups * kUnitsPerGroup * kSamplesPerUnit / (f.stereo ? 2 : 1);
}

uint8_t coding_info_of(const AudioFormat& f) {
  return static_cast<uint8_t>((f.stereo ? coding::kStereo : 0) | (f.rate == kRateHalf ? coding::kHalfRate : 0));
}

int audio_interleave(const AudioFormat& f) {
  int n = kInterleaveFullStereo;
  if (!f.stereo) n *= 2;
  if (f.rate == kRateHalf) n *= 2;
  return n;
}

void check_audio_format(const AudioFormat& f) {
  if (f.rate != kRateFull && f.rate != kRateHalf)
    throw Error("sample rate " + std::to_string(f.rate) + " is not 37800 or 18900");
}

XaEncoder::XaEncoder(AudioFormat format, int file_number, int channel_number)
    : format_(format), file_number_(file_number), channel_number_(channel_number) {
  check_audio_format(format);
  check_subheader_number("file number", file_number);
  check_subheader_number("channel number", channel_number);
}

Sector XaEncoder::encode_sector(const int16_t* pcm, size_t frames) {
  Sector s = make_sector(file_number_, channel_number_, kAudioSubmode, coding_info_of(format_));
  const int per_channel = samples_per_sector(format_);
  const int channels = format_.stereo ? 2 : 1;
  std::vector<int16_t> chan[2];
  for (int c = 0; c < channels; ++c) {
    chan[c].assign(static_cast<size_t>(per_channel), 0);
    for (size_t i = 0; i < std::min(frames, static_cast<size_t>(per_channel)); ++i)
      chan[c][i] = pcm[i * channels + c];
  }
  uint8_t* data = s.data() + subheader::kBytes;
  const int units_per_channel = kUnitsPerGroup / channels;
  for (int c = 0; c < channels; ++c) {
    AdpcmHistory& h = c == 0 ? left_ : right_;
    for (int g = 0; g < kSoundGroups; ++g)
      for (int j = 0; j < units_per_channel; ++j) {
        const int unit = channels == 1 ? j : 2 * j + c;
        const int16_t* src = &chan[c][static_cast<size_t>((g * units_per_channel + j) * kSamplesPerUnit)];
        const UnitChoice choice = encode_unit(src, h);
        store_unit(data + g * kSoundGroupBytes, unit, choice);
        h = choice.history;
      }
  }
  return s;
}

SectorList encode_xa_audio(const std::vector<int16_t>& pcm, const AudioFormat& format, int file_number,
                           int channel_number) {
  XaEncoder enc(format, file_number, channel_number);
  const size_t channels = format.stereo ? 2 : 1;
  const size_t frames = pcm.size() / channels;
  const size_t per = static_cast<size_t>(samples_per_sector(format));
  SectorList out;
  for (size_t f = 0; f < frames; f += per)
    out.push_back(enc.encode_sector(pcm.data() + f * channels, std::min(per, frames - f)));
  return out;
}

std::vector<int16_t> decode_xa_audio(const SectorList& sectors, bool stereo) {
  std::vector<int16_t> out;
  AdpcmHistory left, right;
  const int channels = stereo ? 2 : 1;
  const int units_per_channel = kUnitsPerGroup / channels;
  const int per_channel = kSoundGroups * units_per_channel * kSamplesPerUnit;
  std::vector<int16_t> chan[2];
  for (const Sector& s : sectors) {
    const uint8_t* data = s.data() + subheader::kBytes;
    for (int c = 0; c < channels; ++c) {
      chan[c].assign(static_cast<size_t>(per_channel), 0);
      AdpcmHistory& h = c == 0 ? left : right;
      for (int g = 0; g < kSoundGroups; ++g)
        for (int j = 0; j < units_per_channel; ++j) {
          const int unit = channels == 1 ? j : 2 * j + c;
          decode_unit(data + g * kSoundGroupBytes, unit, h,
                      &chan[c][static_cast<size_t>((g * units_per_channel + j) * kSamplesPerUnit)]);
        }
    }
    for (int i = 0; i < per_channel; ++i)
      for (int c = 0; c < channels; ++c) out.push_back(chan[c][static_cast<size_t>(i)]);
  }
  return out;
}

}  // namespace mkdisc
