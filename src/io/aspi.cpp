// The ASPI layer's operations: the module's entry points, sending a request
// and waiting for its status byte, the drive scan, speed, probe and sense.
#include "io/aspi.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/messages.hpp"
#include "format/aspi/aspi_cdb.hpp"
#include "format/aspi/aspi_scan.hpp"
#include "format/disc/xa_sector.hpp"
#include "io/aspi_requests.hpp"
#include "platform/aspi_module.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "state/cd_drives.hpp"

namespace {

AspiEntryPoints aspi_entry;

// The request blocks live for the whole process, as a module may still be
// writing a status byte after a wait has given up on it.
alignas(8) uint8_t device_type_block[kGdevBlockBytes];
alignas(8) uint8_t scsi_block[kExecBlockBytes];

uint8_t send_and_wait(uint8_t* block) {
  aspi_entry.send_command(block);
  return wait_for_status(block + kSrbStatus, kAspiWaitLimitMs, monotonic_ms);
}

uint8_t aspi_device_type(uint8_t adapter, uint8_t target, uint8_t* type) {
  build_device_type_request(device_type_block, adapter, target);
  const uint8_t status = send_and_wait(device_type_block);
  *type = device_type_block[kGdevDeviceType];
  return status;
}

// A command without data, or with data from the device, to the chosen drive.
uint8_t execute_on_chosen(const Cdb& cdb, uint8_t* data, uint32_t length) {
  const CdDrive& drive = chosen_drive();
  return aspi_execute(make_scsi_command(static_cast<uint8_t>(drive.adapter),
                                        static_cast<uint8_t>(drive.target), cdb, data, length));
}

}  // namespace

uint8_t aspi_execute(const ScsiCommand& command) {
  build_scsi_request(scsi_block, command);
  return send_and_wait(scsi_block);
}

AspiOpenOutcome try_aspi_open() {
  if (!load_aspi_module(&aspi_entry)) return {AspiOpenResult::NotLoaded};
  const uint32_t support = aspi_entry.support_info();
  if (aspi_support_status(support) != kAspiComplete) return {AspiOpenResult::NoHost};
  const int adapters = aspi_support_adapters(support);
  if (adapters == 0) return {AspiOpenResult::NoDrive};

  cd_drives = CdDriveTable{};
  const AspiPort port{aspi_device_type, aspi_execute};
  const TargetScan scan = scan_drives(port, adapters, &cd_drives);
  if (scan.outcome == TargetOutcome::SenseFailed) return {AspiOpenResult::CommandFailed, scan.status};
  if (cd_drives.count == 0) return {AspiOpenResult::NoDrive};
  cd_drives.chosen = 0;
  return {AspiOpenResult::Ready};
}

void aspi_open() {
  const AspiOpenOutcome outcome = try_aspi_open();
  switch (outcome.result) {
    case AspiOpenResult::Ready:
      return;
    case AspiOpenResult::NotLoaded: {
      // The English text names the places the module was looked for.
      const std::string places = aspi_module_places();
      const char* format = message_text(Msg::AspiNotLoaded);
      std::string detail(static_cast<size_t>(std::snprintf(nullptr, 0, format, places.c_str())), '\0');
      std::snprintf(detail.data(), detail.size() + 1, format, places.c_str());
      fatal_error(kErrAspi, detail.c_str());
    }
    case AspiOpenResult::NoHost:
      fatal_error(kErrAspi, message_text(Msg::AspiNoHost));
    case AspiOpenResult::NoDrive:
      fatal_error(kErrAspi, message_text(Msg::AspiNoDrive));
    case AspiOpenResult::CommandFailed:
      aspi_command_failed(outcome.status);
  }
}

void select_cd_drive(int32_t adapter, int32_t target) {
  cd_drives.chosen = find_cd_drive(cd_drives, adapter, target);
}

void set_cd_speed() {
  const uint8_t status = execute_on_chosen(cdb_set_cd_speed_fastest(), nullptr, 0);
  if (status != kAspiComplete) aspi_command_failed(status);
}

void request_sense() {
  uint8_t sense[kRequestSenseBytes] = {};
  execute_on_chosen(cdb_request_sense(), sense, kRequestSenseBytes);
}

int probe_max_sectors(int32_t limit, bool show_progress) {
  if (limit < 0) limit = 0;
  // One spare sector beyond the limit, as a drive may deliver a little more.
  uint8_t* buffer = static_cast<uint8_t*>(
      std::malloc((static_cast<size_t>(limit) + 1) * static_cast<size_t>(kSectorBytes)));
  if (buffer == nullptr) return 1;
  const auto read = [buffer](int32_t n) {
    constexpr uint32_t kProbeSector = 0;
    const uint32_t length = static_cast<uint32_t>(n) * kSectorBytes;
    const uint8_t status =
        execute_on_chosen(cdb_read_cd(kProbeSector, static_cast<uint16_t>(n), true), buffer, length);
    request_sense();
    return status == kAspiComplete;
  };
  const auto progress = [limit, show_progress](int32_t n) {
    if (show_progress) console_printf("%d/%d\r", n, limit);
  };
  chosen_drive().max_sectors = probe_largest_read(limit, read, progress);
  std::free(buffer);
  if (show_progress) console_text("\n");
  return 0;
}

void aspi_command_failed(uint8_t status) {
  if (status == kAspiBufferTooBig)
    fatal_error(kErrAspi, message_text(Msg::AspiLowerCdReadSector));
  fatal_error(kErrAspi, message_text(Msg::AspiCommandFailed));
}

void print_cd_drives() {
  console_text(message_text(Msg::DriveListHeading));
  for (int32_t i = 0; i < cd_drives.count; ++i) {
    const CdDrive& drive = cd_drives.drives[i];
    console_printf(message_text(Msg::DriveListLine), drive.adapter, drive.target, drive.name());
  }
}
