// Decoding the audio sector in sector_buffer into the open WAV file, with the
// process-wide ADPCM histories that carry over from sector to sector.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/xa/adpcm_decoder.hpp"
#include "state/xa_stream_state.hpp"

// Decodes one sector in the 2336-byte form (mono or stereo by
// xa_stream.channel_count, 4-bit or 8-bit by xa_stream.bits_per_sample) and
// appends its PCM bytes to the WAV file: 8064 for 4-bit sectors, 4032 for
// 8-bit ones.
void decode_xa_sector(const uint8_t* sector);

// Both histories back to 0, between the streams of a scan.
void reset_adpcm_history();
