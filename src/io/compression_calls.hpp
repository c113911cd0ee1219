// The calls into the compression libraries that CHD hunks need: raw
// Deflate (zlib), raw LZMA (liblzma), Zstandard frames (libzstd) and the
// headerless FLAC frames of CD audio (libFLAC). Each fills exactly the
// output it is given or reports failure. A build without the libraries
// (the Windows one) has only the stand-in, which reports them absent.
#pragma once

#include <cstddef>
#include <cstdint>

// False in a build without the compression libraries.
bool compression_libraries_present();

// Raw Deflate data (no zlib header) into exactly `size` bytes.
bool inflate_raw(const uint8_t* data, size_t length, uint8_t* out, size_t size);

// Raw LZMA data without end marker (lc 3, lp 0, pb 2) into exactly `size` bytes.
bool decode_lzma_raw(const uint8_t* data, size_t length, uint8_t* out, size_t size);

// One Zstandard frame into exactly `size` bytes.
bool decode_zstd(const uint8_t* data, size_t length, uint8_t* out, size_t size);

// FLAC frames of 44100 Hz 16-bit stereo audio with the given block size
// and no stream header, into exactly `size` bytes of big-endian samples,
// left then right. *used is the number of bytes the frames took.
bool decode_cd_flac(const uint8_t* data, size_t length, uint32_t block_size, uint8_t* out, size_t size,
                    size_t* used);
