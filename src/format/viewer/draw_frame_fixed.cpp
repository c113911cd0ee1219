// Drawing of the fixed-point transform's 16-bit samples.
#include "format/viewer/draw_placement.hpp"
#include "format/viewer/routine_table.hpp"

void draw_frame_fixed(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                      const Surface& surface, ConvertQuadrantFn) {
  const int16_t* macroblock = static_cast<const int16_t*>(samples);
  for_each_macroblock(mb_columns, mb_rows, surface, 1, [&](uint8_t* origin) {
    draw_quarters<kBlockSide, kBlockSide>(macroblock, origin, surface, 1,
        [&](const int16_t* luma, const int16_t* a, const int16_t* b, uint8_t* dest) {
          convert_quadrant_fixed(luma, a, b, dest, surface.pitch, surface.bytes_per_pixel);
        });
    macroblock += kBlocksInMacroblock * kBlockSide * kBlockSide;
  });
}
