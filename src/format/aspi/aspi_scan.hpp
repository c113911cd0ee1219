// The drive scan as a kernel: which targets become CdDrive records, given
// what each target answers. The requests go through an AspiPort so tests can
// answer them without a module.
#pragma once

#include <cstdint>
#include <functional>

#include "format/aspi/aspi_block.hpp"
#include "format/aspi/cd_drive.hpp"

struct AspiPort {
  // Device-type request; returns the final status, fills *type on success.
  std::function<uint8_t(uint8_t adapter, uint8_t target, uint8_t* type)> device_type;
  // SCSI request; returns the final status.
  std::function<uint8_t(const ScsiCommand&)> execute;
};

// Target ids examined on every adapter.
constexpr int kTargetsPerAdapter = 8;

// A command with data from the device (length > 0) or without data.
ScsiCommand make_scsi_command(uint8_t adapter, uint8_t target, const Cdb& cdb, uint8_t* data,
                              uint32_t length);

enum class TargetOutcome { Accepted, Skipped, SenseFailed };
struct TargetScan {
  TargetOutcome outcome = TargetOutcome::Skipped;
  uint8_t status = kAspiComplete;  // the failing REQUEST SENSE status
};

// Examines one target; on acceptance *drive is filled in.
TargetScan scan_target(const AspiPort& port, uint8_t adapter, uint8_t target, CdDrive* drive);

// Examines every target of every adapter and appends the accepted drives to
// the table, keeping the first kMaxCdDrives found. Returns the outcome of the
// last target examined: SenseFailed stops the scan at once.
TargetScan scan_drives(const AspiPort& port, int adapters, CdDriveTable* table);

// The read-size probe: reads of 1, 2, ... sectors until one fails or the
// limit is reached. read(n) sends one read of n sectors and reports success;
// progress(n) runs before each read. Returns the last n that succeeded (0 when
// the first read failed or the limit is 0).
int32_t probe_largest_read(int32_t limit, const std::function<bool(int32_t)>& read,
                           const std::function<void(int32_t)>& progress);
