// The uncompressed AVI writer: provisional header, one "00db" chunk per
// frame and, with sound, "01wb" chunks of PCM between them, then the index
// and the completed header.
#pragma once

#include <cstdint>

void open_avi();
void write_avi_frame();
// The sound stream's format, before its first chunk.
void start_avi_sound(uint32_t sample_rate, uint32_t channels);
// One chunk of 16-bit little-endian PCM (nothing for 0 bytes).
void write_avi_sound(const uint8_t* pcm, uint32_t bytes);
void finish_avi();
