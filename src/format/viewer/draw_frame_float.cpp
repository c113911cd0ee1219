// Drawing of float samples: macroblocks column by column, each as four
// 8x8 quarters through the chosen quarter converter.
#include "format/viewer/draw_placement.hpp"
#include "format/viewer/routine_table.hpp"

void draw_frame_float(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                      const Surface& surface, ConvertQuadrantFn quadrant) {
  const float* macroblock = static_cast<const float*>(samples);
  for_each_macroblock(mb_columns, mb_rows, surface, 1, [&](uint8_t* origin) {
    draw_quarters<kBlockSide, kBlockSide>(macroblock, origin, surface, 1,
        [&](const float* luma, const float* a, const float* b, uint8_t* dest) {
          quadrant(luma, a, b, dest, surface.pitch, surface.bytes_per_pixel);
        });
    macroblock += kBlocksInMacroblock * kBlockSide * kBlockSide;
  });
}
