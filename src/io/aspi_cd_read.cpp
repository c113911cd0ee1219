// The CD kind of the sector source: READ CD to the chosen drive (bulk, or
// one sector at a time with one retry and the -check double read) and READ
// TOC for the whole-disc range.
#include "base/messages.hpp"
#include "format/aspi/aspi_cdb.hpp"
#include "format/aspi/aspi_responses.hpp"
#include "format/aspi/aspi_scan.hpp"
#include "io/aspi.hpp"
#include "io/aspi_requests.hpp"
#include "io/cd_sectors.hpp"
#include "io/sector_source.hpp"
#include "platform/errors.hpp"
#include "state/cd_drives.hpp"
#include "state/mode_flags.hpp"

namespace {

uint8_t send_read_cd(int32_t lba, int32_t count, bool raw_form, uint8_t* dest) {
  const CdDrive& drive = chosen_drive();
  const uint32_t length =
      static_cast<uint32_t>(count) * static_cast<uint32_t>(raw_form ? kSectorBytes : kUserDataBytes);
  return aspi_execute(make_scsi_command(
      static_cast<uint8_t>(drive.adapter), static_cast<uint8_t>(drive.target),
      cdb_read_cd(static_cast<uint32_t>(lba), static_cast<uint16_t>(count), raw_form), dest,
      length));
}

}  // namespace

void read_cd_sectors(int32_t first, int32_t count, int sector_mode, uint8_t* dest) {
  const bool raw_form = sector_mode == kSectorMode2336;
  if (count <= 0) return;
  if (raw_form && sector_source.bulk_reads) {
    const uint8_t status = send_read_cd(first, count, true, dest);
    if (status != kAspiComplete) aspi_command_failed(status);
    return;
  }
  const size_t bytes = raw_form ? kSectorBytes : kUserDataBytes;
  uint8_t spare[kSectorBytes];
  for (int32_t i = 0; i < count; ++i) {
    const int32_t sector = first + i;
    const SectorCommand command = [sector, raw_form](uint8_t* to) {
      return send_read_cd(sector, 1, raw_form, to);
    };
    const SectorReadResult result =
        read_sector_checked(command, dest, spare, bytes, mode_is(kModeCheck));
    if (result.status != kAspiComplete) aspi_command_failed(result.status);
    if (!result.agreed) fatal_error(kErrUnknown, message_text(Msg::ReadsNeverAgree));
    dest += bytes;
  }
}

void open_cd_disc_range() {
  uint8_t toc[kReadTocBytes] = {};
  const CdDrive& drive = chosen_drive();
  const uint8_t status = aspi_execute(make_scsi_command(static_cast<uint8_t>(drive.adapter),
                                                        static_cast<uint8_t>(drive.target),
                                                        cdb_read_toc(), toc, kReadTocBytes));
  if (status != kAspiComplete) aspi_command_failed(status);
  const TocRange range = parse_toc(toc, sizeof toc);
  // A table of contents without a second entry gives the disc no end.
  if (!range.valid) aspi_command_failed(kAspiError);
  current_sector = range.first;
  end_sector = range.end;
}
