// Decoding a frame's coded macroblocks into coefficient blocks (scan order,
// 6 blocks of 64 a macroblock). The output must be zero-filled by the caller.
#pragma once

#include <cstddef>
#include <cstdint>

enum class DecodeStatus {
  kOk,
  kBadCode,        // no AC code matches within 17 bits
  kRunPastBlock,   // a run carries the position past 63
  kPastEnd,        // the codes run past the end of the frame's data
};

// data/size: the coded macroblocks (the frame bitstream after its 8-byte
// header, up to the end of the assembled chunks).
DecodeStatus decode_v2(const uint8_t* data, size_t size, uint32_t macroblocks, int16_t* blocks);
DecodeStatus decode_v3(const uint8_t* data, size_t size, uint32_t macroblocks, int16_t* blocks);
