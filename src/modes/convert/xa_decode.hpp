// Decoding XA audio sectors into the open WAV file, with the process-wide
// ADPCM histories that carry over from sector to sector.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/disc/xa_sector.hpp"
#include "format/xa/adpcm_decoder.hpp"
#include "io/wav_writer.hpp"
#include "state/xa_stream_state.hpp"

// One sector's sound data (the 2304 bytes after its subheader) to 16-bit
// little-endian PCM in pcm (kPcmBytesPerSector bytes of room), carrying the
// histories given; returns the bytes written.
size_t decode_xa_pcm(const uint8_t* data, const XaCoding& coding, AdpcmHistory& left, AdpcmHistory& right,
                     uint8_t* pcm);

// Decodes one sector's sound data (the 2304 bytes after its subheader),
// coded as `coding` (mono or stereo, 4-bit or 8-bit), and appends its PCM
// bytes to the WAV file: 8064 for 4-bit sectors, 4032 for 8-bit ones.
void decode_xa_sound(const uint8_t* data, const XaCoding& coding);

// Both histories back to 0, between the streams of a scan.
void reset_adpcm_history();

// The stream being converted (xa_stream) as the WAV header describes it,
// and as its sectors are decoded.
WavFormat stream_wav_format();
XaCoding stream_coding();
