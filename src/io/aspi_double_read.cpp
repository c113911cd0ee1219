// One-sector reads with one retry and the bounded double-read comparison.
#include "io/aspi_double_read.hpp"

#include <cstring>

#include "format/aspi/aspi_block.hpp"

uint8_t read_with_retry(const SectorCommand& command, uint8_t* dest) {
  const uint8_t status = command(dest);
  if (status == kAspiComplete) return status;
  return command(dest);
}

SectorReadResult read_sector_checked(const SectorCommand& command, uint8_t* dest, uint8_t* spare,
                                     size_t bytes, bool check) {
  for (int pair = 0; pair < kMaxReadPairs; ++pair) {
    uint8_t status = read_with_retry(command, dest);
    if (status != kAspiComplete || !check) return {status, true};
    status = read_with_retry(command, spare);
    if (status != kAspiComplete) return {status, true};
    if (std::memcmp(dest, spare, bytes) == 0) return {kAspiComplete, true};
  }
  return {kAspiComplete, false};
}
