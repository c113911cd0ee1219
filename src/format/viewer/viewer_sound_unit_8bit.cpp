// The viewer's unit decoder for 8-bit sound: each byte in bits 8 to 15,
// then the plain decoder's shifts, filter and limited history.
#include "format/viewer/routine_table.hpp"
#include "format/viewer/sound_filters.hpp"

void viewer_sound_unit_8bit(AdpcmUnitState& state) {
  viewer_unit_samples(state, [&](int i) { return static_cast<uint16_t>(unit_byte(state, i) * (1 << kByteTopShift)); });
}
