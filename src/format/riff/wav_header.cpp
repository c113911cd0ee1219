// RIFF/WAVE header fields, little-endian, field by field.
#include "format/riff/wav_header.hpp"

#include <cstdint>

#include "base/byte_order.hpp"

namespace {
constexpr uint32_t kRiffPreambleBytes = 8;  // "RIFF" and its size field
constexpr uint32_t kFmtChunkBytes = 16;
constexpr uint32_t kFormatPcm = 1;
constexpr uint32_t kBitsPerSample = 16;
constexpr uint32_t kMonoBlockAlign = 2;
constexpr uint32_t kStereoBlockAlign = 4;
}  // namespace

bool wav_length_fits(uint64_t file_length) {
  return file_length - kRiffPreambleBytes <= UINT32_MAX;
}

void build_wav_header(uint8_t* header, uint32_t file_length, int32_t channel_count,
                      int32_t sample_rate) {
  const uint32_t block_align = channel_count == 2 ? kStereoBlockAlign : kMonoBlockAlign;
  const uint32_t data_bytes = file_length >= kWavHeaderBytes ? file_length - kWavHeaderBytes : 0;
  put_fourcc(header + 0, "RIFF");
  put_le32(header + 4, file_length - kRiffPreambleBytes);
  put_fourcc(header + 8, "WAVE");
  put_fourcc(header + 12, "fmt ");
  put_le32(header + 16, kFmtChunkBytes);
  put_le16(header + 20, kFormatPcm);
  put_le16(header + 22, static_cast<uint32_t>(channel_count));
  put_le32(header + 24, static_cast<uint32_t>(sample_rate));
  put_le32(header + 28, static_cast<uint32_t>(sample_rate) * block_align);
  put_le16(header + 32, block_align);
  put_le16(header + 34, kBitsPerSample);
  put_fourcc(header + 36, "data");
  put_le32(header + 40, data_bytes);
}
