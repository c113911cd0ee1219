// Growing reads until the drive refuses one.
#include "format/aspi/aspi_probe.hpp"

int32_t probe_largest_read(int32_t limit, const std::function<bool(int32_t)>& read,
                           const std::function<void(int32_t)>& progress) {
  int32_t largest = 0;
  for (int32_t n = 1; n <= limit; ++n) {
    progress(n);
    if (!read(n)) break;
    largest = n;
  }
  return largest;
}
