// The drive scan: device type, REQUEST SENSE, the capabilities page (asked
// twice if need be), Form 1 and Form 2 reading, INQUIRY; and the growing
// reads of the read-size probe.
#include "format/aspi/aspi_scan.hpp"

#include <cstring>

#include "format/aspi/aspi_cdb.hpp"
#include "format/aspi/aspi_responses.hpp"

ScsiCommand make_scsi_command(uint8_t adapter, uint8_t target, const Cdb& cdb, uint8_t* data,
                              uint32_t length) {
  ScsiCommand command;
  command.adapter = adapter;
  command.target = target;
  command.flags = length > 0 ? kAspiDirIn : 0;
  command.cdb = cdb;
  command.data = data;
  command.length = length;
  return command;
}

namespace {

uint8_t send(const AspiPort& port, uint8_t adapter, uint8_t target, const Cdb& cdb,
             uint8_t* data, uint32_t length) {
  std::memset(data, 0, length);
  return port.execute(make_scsi_command(adapter, target, cdb, data, length));
}

}  // namespace

TargetScan scan_target(const AspiPort& port, uint8_t adapter, uint8_t target, CdDrive* drive) {
  TargetScan result;
  uint8_t type = 0;
  if (port.device_type(adapter, target, &type) != kAspiComplete || type != kDeviceTypeCdrom)
    return result;

  // A first REQUEST SENSE clears a pending unit attention (a disc change).
  uint8_t sense[kRequestSenseBytes];
  uint8_t status = send(port, adapter, target, cdb_request_sense(), sense, kRequestSenseBytes);
  if (status != kAspiComplete) return {TargetOutcome::SenseFailed, status};

  uint8_t page[kModeSenseBytes];
  if (send(port, adapter, target, cdb_mode_sense_capabilities(), page, kModeSenseBytes) !=
      kAspiComplete) {
    status = send(port, adapter, target, cdb_request_sense(), sense, kRequestSenseBytes);
    if (status != kAspiComplete) return {TargetOutcome::SenseFailed, status};
    if (send(port, adapter, target, cdb_mode_sense_capabilities(), page, kModeSenseBytes) !=
        kAspiComplete)
      return result;
  }
  const CdCapabilities caps = parse_capabilities(page);
  if (!caps.reads_form1 || !caps.reads_form2) return result;

  *drive = CdDrive{};
  if (send(port, adapter, target, cdb_inquiry(), drive->inquiry, kInquiryBytes) != kAspiComplete)
    return result;
  drive->adapter = adapter;
  drive->target = target;
  drive->lun = 0;
  drive->max_sectors = static_cast<int32_t>(caps.buffer_kb);
  finish_inquiry_text(drive->inquiry);
  result.outcome = TargetOutcome::Accepted;
  return result;
}

TargetScan scan_drives(const AspiPort& port, int adapters, CdDriveTable* table) {
  TargetScan last;
  for (int adapter = 0; adapter < adapters; ++adapter) {
    for (int target = 0; target < kTargetsPerAdapter; ++target) {
      // Drives beyond the table's room are left alone: the first ones found
      // (lowest adapter, then lowest target) are the ones kept.
      if (table->count >= kMaxCdDrives) return last;
      CdDrive candidate;
      last = scan_target(port, static_cast<uint8_t>(adapter), static_cast<uint8_t>(target),
                         &candidate);
      if (last.outcome == TargetOutcome::SenseFailed) return last;
      if (last.outcome == TargetOutcome::Accepted) table->drives[table->count++] = candidate;
    }
  }
  return last;
}

int32_t probe_largest_read(int32_t limit, const std::function<bool(int32_t)>& read,
                           const std::function<void(int32_t)>& progress) {
  int32_t largest = 0;
  for (int32_t n = 1; n <= limit; ++n) {
    progress(n);
    if (!read(n)) break;
    largest = n;
  }
  return largest;
}
