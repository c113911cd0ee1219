// The process-wide table of accepted CD drives and the drive chosen for every
// later command.
#pragma once

#include "format/aspi/cd_drive.hpp"

extern CdDriveTable cd_drives;

inline CdDrive& chosen_drive() { return cd_drives.drives[cd_drives.chosen]; }
