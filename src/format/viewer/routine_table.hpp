// The four viewer routines chosen once at set-up from the settings and the
// processor: the transform, the drawing, the quarter colour converter of the
// floating-point drawing, and the sound unit decoder. Nothing tests the
// settings again after the choice.
#pragma once

#include <cstdint>

#include "format/xa/adpcm_decoder.hpp"

// A locked picture surface: first pixel, bytes between rows, bytes a pixel
// (3 or 4; only the first three bytes of a pixel are written).
struct Surface {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  uint32_t bytes_per_pixel = 3;
};

// Dequantised coefficient blocks (row-major, 64 each) to samples in the
// transform's own layout.
using TransformFrameFn = void (*)(const int16_t* coefficients, uint32_t block_count,
                                  void* samples);

// One 8x8 quarter of a macroblock from float samples: the luminance block,
// the top-left chroma sample of the quarter in blocks A and B (rows 8 apart),
// and the quarter's first pixel.
using ConvertQuadrantFn = void (*)(const float* luma, const float* chroma_a,
                                   const float* chroma_b, uint8_t* dest, int32_t pitch,
                                   uint32_t bytes_per_pixel);

// All macroblocks of a frame, placed column by column, into a locked surface.
using DrawFrameFn = void (*)(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                             const Surface& surface, ConvertQuadrantFn quadrant);

// The 28 samples of one sound unit.
using SoundUnitFn = void (*)(AdpcmUnitState& state);

struct RoutineTable {
  TransformFrameFn transform_frame = nullptr;
  DrawFrameFn draw_frame = nullptr;
  ConvertQuadrantFn convert_quadrant = nullptr;
  SoundUnitFn viewer_sound_unit = nullptr;
  uint32_t sample_bytes_per_macroblock = 0;  // the transform's output per macroblock
  uint32_t surface_scale = 1;                // 2 when the transform doubles blocks
};

// The choice itself. fixed and filter are in/out: each is switched off when
// it cannot be used (no MMX).
RoutineTable select_routines(bool mmx_present, int32_t& fixed, int32_t& filter);

// The variants.
void inverse_dct_float(const int16_t* coefficients, uint32_t block_count, void* samples);
void inverse_dct_fixed(const int16_t* coefficients, uint32_t block_count, void* samples);
void inverse_dct_filter(const int16_t* coefficients, uint32_t block_count, void* samples);

void draw_frame_float(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                      const Surface& surface, ConvertQuadrantFn quadrant);
void draw_frame_fixed(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                      const Surface& surface, ConvertQuadrantFn quadrant);
void draw_frame_filter(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                       const Surface& surface, ConvertQuadrantFn quadrant);

void convert_quadrant_float(const float* luma, const float* chroma_a, const float* chroma_b,
                            uint8_t* dest, int32_t pitch, uint32_t bytes_per_pixel);
void convert_quadrant_float_mmx(const float* luma, const float* chroma_a,
                                const float* chroma_b, uint8_t* dest, int32_t pitch,
                                uint32_t bytes_per_pixel);

// Integer converters of the fixed-point (8x8 luminance, 4x4 chroma part,
// rows 8 apart) and filter (16x16 luminance, 8x8 chroma part, rows 16 apart)
// drawings; not in the table, each drawing calls its own.
void convert_quadrant_fixed(const int16_t* luma, const int16_t* chroma_a,
                            const int16_t* chroma_b, uint8_t* dest, int32_t pitch,
                            uint32_t bytes_per_pixel);
void convert_quadrant_filter(const int16_t* luma, const int16_t* chroma_a,
                             const int16_t* chroma_b, uint8_t* dest, int32_t pitch,
                             uint32_t bytes_per_pixel);

void viewer_sound_unit_plain(AdpcmUnitState& state);
void viewer_sound_unit_mmx(AdpcmUnitState& state);
// The unit decoder for 8-bit sound, whatever the processor: the same
// rounding and history as the plain 4-bit one.
void viewer_sound_unit_8bit(AdpcmUnitState& state);
