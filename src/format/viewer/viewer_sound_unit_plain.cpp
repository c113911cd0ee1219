// The viewer's ADPCM unit decoder: shifts instead of divisions (rounding
// toward minus infinity), and a history that keeps the limited value.
#include "format/viewer/routine_table.hpp"
#include "format/viewer/sound_filters.hpp"

void viewer_sound_unit_plain(AdpcmUnitState& state) {
  load_unit_parameters(state);
  int32_t p1 = state.history->p1;
  int32_t p2 = state.history->p2;
  for (int i = 0; i < kSamplesPerUnit; ++i) {
    const int32_t t = static_cast<int16_t>(unit_nibble(state, i) << kNibbleTopShift) >> state.shift;
    int32_t s = t + ((state.k0 * p1) >> kFilterTermShift) + ((state.k1 * p2) >> kFilterTermShift);
    if (s > 32767) s = 32767;
    if (s < -32768) s = -32768;
    state.out[i] = static_cast<int16_t>(s);
    p2 = p1;
    p1 = s;
  }
  state.history->p1 = p1;
  state.history->p2 = p2;
  state.out += kSamplesPerUnit;
}
