// A drive's name, and the choice of a drive by adapter and target.
#include "format/aspi/cd_drive.hpp"

#include "format/aspi/aspi_responses.hpp"

const char* CdDrive::name() const {
  return reinterpret_cast<const char*>(inquiry + kInquiryNameOffset);
}

int32_t find_cd_drive(const CdDriveTable& table, int32_t adapter, int32_t target) {
  for (int32_t i = 0; i < table.count; ++i)
    if (table.drives[i].adapter == adapter && table.drives[i].target == target) return i;
  return 0;
}
