// The WAV file of one XA stream: header written at the start and completed
// at the end.
#pragma once

#include <cstddef>
#include <cstdint>

// Creates output_name (error -3 with the name) and writes a provisional header.
void wav_open();

// Appends PCM bytes to the open WAV file; a short write, or one that would
// take the file past what its 32-bit sizes can describe, ends with error -5.
void wav_write(const uint8_t* bytes, size_t size);

// PCM bytes written into the WAV file being written (or last closed).
uint64_t wav_data_bytes();

// Completes the header from the file length and XaStream, and closes the file.
void wav_close();
