// CdDrive: the table of accepted CD drives, in the order the scan found
// them, and the drive chosen for every later command.
#pragma once

#include <cstdint>

#include "disc/aspi_cdb.hpp"

constexpr int kMaxCdDrives = 8;
constexpr int kInquiryAreaBytes = 512;

struct CdDrive {
  int32_t adapter = 0;
  int32_t target = 0;
  int32_t lun = 0;
  // After the scan: the drive's buffer size in kilobytes. After
  // probe_max_sectors: the largest number of sectors one READ CD delivered.
  int32_t max_sectors = 0;
  // INQUIRY data; bytes 8 to 31 are the name text, ended at byte 32.
  uint8_t inquiry[kInquiryAreaBytes] = {};

  const char* name() const;
};

struct CdDriveTable {
  CdDrive drives[kMaxCdDrives];
  int32_t count = 0;
  int32_t chosen = 0;
};

extern CdDriveTable cd_drives;

inline CdDrive& chosen_drive() { return cd_drives.drives[cd_drives.chosen]; }

// Index of the first drive with this adapter and target, or 0 when none has.
int32_t find_cd_drive(const CdDriveTable& table, int32_t adapter, int32_t target);
