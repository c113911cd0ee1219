// The WAV file of one XA stream: header written at the start and completed
// at the end.
#pragma once

#include <cstddef>
#include <cstdint>

// What the header says of the sound: set at the open, and again whenever the
// stream's format becomes known; the header is completed with the latest.
struct WavFormat {
  int32_t channel_count = 0;
  int32_t sample_rate = 0;
};

// Creates the file `name` (error -3 with the name) and writes a provisional
// header in `format`.
void wav_open(const char* name, WavFormat format);

// The format the header is completed with, at wav_close or an early end.
void wav_set_format(WavFormat format);

// Appends PCM bytes to the open WAV file (gathered, and written a block at a
// time). A write the file refuses (a full disc), or one that would take the
// file past what its 32-bit sizes can describe, ends with error -5; the file
// keeps the whole writes before it.
void wav_write(const uint8_t* bytes, size_t size);

// PCM bytes given to the WAV file being written (or last closed).
uint64_t wav_data_bytes();

// Completes the header from the file length and the latest format, and
// closes the file.
void wav_close();
