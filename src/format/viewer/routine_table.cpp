// Routine selection: the plain floating-point routines by default, the
// "MMX" converter and sound decoder when the processor has MMX, and the
// fixed-point or filter pipeline when asked for and possible.
#include "format/viewer/routine_table.hpp"

#include "format/viewer/idct_layout.hpp"

RoutineTable select_routines(bool mmx_present, int32_t& fixed, int32_t& filter) {
  RoutineTable table;
  table.transform_frame = inverse_dct_float;
  table.draw_frame = draw_frame_float;
  table.convert_quadrant = convert_quadrant_float;
  table.viewer_sound_unit = viewer_sound_unit_plain;
  table.sample_bytes_per_macroblock = kFloatSampleBytesPerMacroblock;
  table.surface_scale = 1;

  if (mmx_present) {
    table.convert_quadrant = convert_quadrant_float_mmx;
    table.viewer_sound_unit = viewer_sound_unit_mmx;
  }
  if (fixed != 0 && mmx_present) {
    table.transform_frame = inverse_dct_fixed;
    table.draw_frame = draw_frame_fixed;
    table.sample_bytes_per_macroblock = kFixedSampleBytesPerMacroblock;
  } else {
    fixed = 0;
  }
  if (filter != 0 && mmx_present) {
    table.transform_frame = inverse_dct_filter;
    table.draw_frame = draw_frame_filter;
    table.sample_bytes_per_macroblock = kFilterSampleBytesPerMacroblock;
    table.surface_scale = 2;
  } else {
    filter = 0;
  }
  return table;
}
