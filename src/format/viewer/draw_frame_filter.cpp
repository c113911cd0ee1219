// Drawing of the filter's 16x16 blocks: every macroblock covers 32x32
// pixels of the surface, in four 16x16 quarters.
#include "format/viewer/draw_placement.hpp"
#include "format/viewer/routine_table.hpp"

void draw_frame_filter(const void* samples, uint32_t mb_columns, uint32_t mb_rows,
                       const Surface& surface, ConvertQuadrantFn) {
  constexpr int kSide = 2 * kBlockSide;
  const int16_t* macroblock = static_cast<const int16_t*>(samples);
  for_each_macroblock(mb_columns, mb_rows, surface, 2, [&](uint8_t* origin) {
    draw_quarters<kSide, kSide>(macroblock, origin, surface, 2,
        [&](const int16_t* luma, const int16_t* a, const int16_t* b, uint8_t* dest) {
          convert_quadrant_filter(luma, a, b, dest, surface.pitch, surface.bytes_per_pixel);
        });
    macroblock += kBlocksInMacroblock * kSide * kSide;
  });
}
