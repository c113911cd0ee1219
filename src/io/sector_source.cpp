// The process-wide sector source and its reads, routed by the kind of source.
#include "io/sector_source.hpp"

#include "io/cd_sectors.hpp"
#include "io/file_sectors.hpp"

namespace {
constexpr uint32_t kCountMask = 0xFFFF;  // a read request carries a 16-bit count
}

void set_sector_mode(int mode) { sector_source.sector_mode = mode; }

void read_sectors(int32_t first, uint32_t count, uint8_t* dest) {
  const auto sectors = static_cast<int32_t>(count & kCountMask);
  if (sector_source.kind == SourceKind::Cd)
    read_cd_sectors(first, sectors, sector_source.sector_mode, dest);
  else
    read_file_sectors(first, sectors, dest);
}
