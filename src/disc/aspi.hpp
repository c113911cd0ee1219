// CD-ROM drives through ASPI: loading, the drive scan and the SCSI commands.
#pragma once

#include <cstdint>

void aspi_open();
void select_cd_drive(int32_t adapter, int32_t target);
void set_cd_speed();
