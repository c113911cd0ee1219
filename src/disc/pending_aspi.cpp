// Placeholder until CD drive access lands.
#include "common/not_built.hpp"
#include "disc/aspi.hpp"
#include "disc/copy_sectors.hpp"

void aspi_open() { not_built("CD drive access (use -no-cdrom or -image:)"); }
void select_cd_drive(int32_t, int32_t) { not_built("select_cd_drive"); }
void set_cd_speed() { not_built("set_cd_speed"); }
void copy_sectors() { not_built("copy_sectors"); }
