// The per-frame buffers of MovieContext: kept from frame to frame, grown when
// a frame needs more, released when the movie ends. Pictures beyond
// kMaxMacroblocks (a damaged header) end with the allocation error rather
// than exhausting memory.
#pragma once

#include <cstddef>
#include <cstdint>

// 4096 x 4096 pixels, far beyond any PlayStation picture; 100 MB of buffers
// for the conversion (350 MB with the staged operations' buffers).
constexpr uint32_t kMaxMacroblocks = 65536;

// Room for the frame bitstream; fatal -6 when it cannot be had.
void reserve_frame_bitstream(size_t bytes);
// Room for the coefficient, sample and picture buffers of a picture of the
// given macroblock count; fatal -6 when too large or not available.
void reserve_picture_buffers(uint32_t macroblocks);
// The whole-frame DequantisedBlocks and TransformedBlocks of the staged
// operations (the conversion itself works a macroblock at a time).
void reserve_stage_buffers();
void release_frame_buffers();
