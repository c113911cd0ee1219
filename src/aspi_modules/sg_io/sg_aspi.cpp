// Drive enumeration and request handling of the SCSI generic ASPI module.
#include "aspi_modules/sg_io/sg_aspi.hpp"

#include <fcntl.h>
#include <linux/fs.h>
#include <scsi/scsi.h>
#include <scsi/sg.h>

#include <cstdio>

#include "aspi_modules/sg_io/sg_translate.hpp"
#include "format/aspi/aspi_block.hpp"

namespace {

constexpr int kMaxDeviceNodes = 32;
constexpr int kMaxAdapters = 255;
constexpr int kBytesPerBlockSector = 512;  // BLKSECTGET counts 512-byte sectors

// SCSI_IOCTL_GET_IDLUN packs id, LUN, channel and host number a byte each.
struct IdLun {
  int dev_id;
  int host_unique_id;
};

bool identify(const SgBackend& backend, int fd, SgDrive* drive) {
  sg_scsi_id id{};
  if (backend.ioctl(fd, SG_GET_SCSI_ID, &id) == 0) {
    if (id.lun != 0 || id.host_no < 0 || id.host_no >= kMaxAdapters || id.scsi_id < 0 ||
        id.scsi_id > 0xFF)
      return false;
    drive->adapter = static_cast<uint8_t>(id.host_no);
    drive->target = static_cast<uint8_t>(id.scsi_id);
    drive->device_type = static_cast<uint8_t>(id.scsi_type);
    return true;
  }
  // The CD driver answers the older request instead.
  IdLun idlun{};
  if (backend.ioctl(fd, SCSI_IOCTL_GET_IDLUN, &idlun) != 0) return false;
  const int host = (idlun.dev_id >> 24) & 0xFF;
  const int lun = (idlun.dev_id >> 8) & 0xFF;
  if (lun != 0 || host >= kMaxAdapters) return false;
  drive->adapter = static_cast<uint8_t>(host);
  drive->target = static_cast<uint8_t>(idlun.dev_id & 0xFF);
  drive->device_type = kDeviceTypeCdrom;  // the node is a CD drive's
  return true;
}

}  // namespace

SgAspi::~SgAspi() {
  for (const SgDrive& drive : drives_) backend_.close(drive.fd);
}

void SgAspi::enumerate() {
  if (enumerated_) return;
  enumerated_ = true;
  for (int n = 0; n < kMaxDeviceNodes; ++n) {
    char path[32];
    std::snprintf(path, sizeof path, "/dev/sr%d", n);
    const int fd = backend_.open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) continue;
    SgDrive drive;
    drive.fd = fd;
    if (!identify(backend_, fd, &drive) || find(drive.adapter, drive.target) != nullptr) {
      backend_.close(fd);
      continue;
    }
    int sectors = 0;
    if (backend_.ioctl(fd, BLKSECTGET, &sectors) == 0 && sectors > 0)
      drive.max_transfer_bytes = static_cast<uint32_t>(sectors) * kBytesPerBlockSector;
    if (drive.adapter + 1 > adapters_) adapters_ = drive.adapter + 1;
    drives_.push_back(drive);
  }
}

uint32_t SgAspi::support_info() {
  enumerate();
  return aspi_support_value(kAspiComplete, static_cast<uint8_t>(adapters_));
}

const SgDrive* SgAspi::find(uint8_t adapter, uint8_t target) const {
  for (const SgDrive& drive : drives_)
    if (drive.adapter == adapter && drive.target == target) return &drive;
  return nullptr;
}

uint8_t SgAspi::device_type(uint8_t* block) {
  if (block[kSrbAdapter] >= adapters_) return kAspiInvalidAdapter;
  const SgDrive* drive = find(block[kSrbAdapter], block[kSrbTarget]);
  if (drive == nullptr || block[kSrbLun] != 0) return kAspiNoDevice;
  block[kGdevDeviceType] = drive->device_type;
  return kAspiComplete;
}

uint8_t SgAspi::execute(uint8_t* block) {
  const ScsiCommand command = parse_scsi_request(block);
  if (command.adapter >= adapters_) return kAspiInvalidAdapter;
  const SgDrive* drive = find(command.adapter, command.target);
  if (drive == nullptr || command.lun != 0) return kAspiNoDevice;
  if (command.cdb.length == 0 || command.cdb.length > kExecCdbBytes) return kAspiInvalidBlock;
  if (drive->max_transfer_bytes != 0 && command.length > drive->max_transfer_bytes)
    return kAspiBufferTooBig;

  uint8_t cdb[kExecCdbBytes];
  uint8_t sense[kSgSenseBytes] = {};
  sg_io_hdr_t header;
  fill_sg_header(command, cdb, sense, &header);
  const int result = backend_.ioctl(drive->fd, SG_IO, &header);
  const int error_number = result < 0 ? backend_.last_error() : 0;
  const uint8_t status = aspi_status_from_sg(result, error_number, header, sense);
  if (result == 0) store_sg_result(block, header, sense);
  return status;
}

uint32_t SgAspi::send(uint8_t* block) {
  enumerate();
  uint8_t status = kAspiInvalidCommand;
  if (block[kSrbCommand] == kAspiGetDeviceType)
    status = device_type(block);
  else if (block[kSrbCommand] == kAspiExecScsi)
    status = execute(block);
  block[kSrbStatus] = status;
  return status;
}
