// Placeholder until the sector sources land.
#include "common/not_built.hpp"
#include "disc/sector_source.hpp"

SectorSource sector_source;
int32_t current_sector = 0;
int32_t end_sector = 0;
uint8_t sector_buffer[kSectorBytes];

void open_sector_source() { not_built("open_sector_source"); }
void set_sector_mode(int mode) { sector_source.sector_mode = mode; }
void read_sectors(int32_t, uint32_t, uint8_t*) { not_built("read_sectors"); }
