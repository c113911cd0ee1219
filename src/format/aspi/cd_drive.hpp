// CdDrive: a CD drive the scan accepted (adapter, target, buffer size and
// INQUIRY data), and the table of them in the order the scan found them.
#pragma once

#include <cstdint>

#include "format/aspi/aspi_cdb.hpp"

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

// Index of the first drive with this adapter and target, or 0 when none has.
int32_t find_cd_drive(const CdDriveTable& table, int32_t adapter, int32_t target);
