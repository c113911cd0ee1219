// The process-wide table of accepted CD drives.
#include "state/cd_drives.hpp"

CdDriveTable cd_drives;
