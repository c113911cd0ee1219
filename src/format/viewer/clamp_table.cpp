// The colour limiting table.
#include "format/viewer/clamp_table.hpp"

uint8_t clamp_table[kClampTableSize];

void fill_clamp_table() {
  for (int i = 0; i < kClampTableSize; ++i) {
    const int v = i - kClampTableOffset;
    clamp_table[i] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  }
}
