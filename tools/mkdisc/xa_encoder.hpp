// XA ADPCM encoding: 16-bit PCM into audio sectors of 18 sound groups (8
// units of 4-bit samples, or 4 units of 8-bit samples), the filter and shift
// chosen per sound unit to minimise the error, the encoder carrying exactly
// the history the decoder will have.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

struct AudioFormat {
  int rate = 37800;     // 37800 or 18900
  bool stereo = true;
  int bits = 4;         // 4 or 8 bits a sample
};

constexpr int kSoundGroups = 18;
constexpr int kSoundGroupBytes = 128;
constexpr int kUnitsPerGroup = 8;      // 4-bit units
constexpr int kUnitsPerGroup8Bit = 4;  // 8-bit units
constexpr int kSamplesPerUnit = 28;
// Samples (per channel) one sector carries: 4032 mono, 2016 stereo; half
// that with 8-bit samples.
int samples_per_sector(const AudioFormat& format);

// The coding_info byte of the format (no emphasis).
uint8_t coding_info_of(const AudioFormat& format);

// One in this many sectors carries the stream at double speed (150 sectors a
// second): 8 for 37800 Hz stereo, 16 for 37800 Hz mono or 18900 Hz stereo,
// 32 for 18900 Hz mono; half that with 8-bit samples.
int audio_interleave(const AudioFormat& format);

void check_audio_format(const AudioFormat& format);

// Decoder history of one channel.
struct AdpcmHistory {
  int32_t p1 = 0;
  int32_t p2 = 0;
};

// Encodes a stream sector by sector; keeps the histories between sectors.
class XaEncoder {
 public:
  XaEncoder(AudioFormat format, int file_number, int channel_number);
  // `pcm` holds samples_per_sector() frames (interleaved L R for stereo);
  // shorter input is padded with silence.
  Sector encode_sector(const int16_t* pcm, size_t frames);
  const AudioFormat& format() const { return format_; }

 private:
  AudioFormat format_;
  int file_number_;
  int channel_number_;
  AdpcmHistory left_;
  AdpcmHistory right_;
};

// The whole PCM (interleaved for stereo) as consecutive audio sectors; the
// last sector is padded with silence.
SectorList encode_xa_audio(const std::vector<int16_t>& pcm, const AudioFormat& format,
                           int file_number, int channel_number);

// The decoder's reading of audio sectors (the reference the encoder tracks):
// 16-bit PCM, interleaved for stereo.
std::vector<int16_t> decode_xa_audio(const SectorList& sectors, bool stereo, int bits = 4);

}  // namespace mkdisc
