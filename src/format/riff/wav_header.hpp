// The 44-byte header of a 16-bit PCM WAV file.
#pragma once

#include <cstdint>

constexpr int kWavHeaderBytes = 44;

// Fills the header of a file of file_length bytes (header included). A
// channel count of 2 gives the stereo block align of 4; any other count the
// mono block align of 2.
void build_wav_header(uint8_t* header, uint32_t file_length, int32_t channel_count,
                      int32_t sample_rate);

// Whether a WAV file of this length can still carry its RIFF size in 32 bits.
bool wav_length_fits(uint64_t file_length);
