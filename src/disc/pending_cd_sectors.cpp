// Placeholder until CD drive access lands.
#include "common/not_built.hpp"
#include "disc/cd_sectors.hpp"

void read_cd_sectors(int32_t, int32_t, int, uint8_t*) { not_built("CD sector reads (use -no-cdrom or -image:)"); }
void open_cd_disc_range() { not_built("CD table of contents (use -image:)"); }
