// The viewer's ADPCM unit decoder: shifts instead of divisions (rounding
// toward minus infinity), and a history that keeps the limited value.
#include "format/viewer/routine_table.hpp"
#include "format/viewer/sound_filters.hpp"

void viewer_sound_unit_plain(AdpcmUnitState& state) {
  viewer_unit_samples(state, [&](int i) { return static_cast<uint16_t>(unit_nibble(state, i) << kNibbleTopShift); });
}
