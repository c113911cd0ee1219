// ASPI request <-> SG_IO request translation.
#include "aspi_modules/sg_io/sg_translate.hpp"

#include <cerrno>
#include <cstring>

namespace {

constexpr uint8_t kScsiCheckCondition = 0x02;  // SCSI status byte
constexpr uint8_t kSenseKeyMask = 0x0F;
constexpr uint8_t kSenseRecoveredError = 0x01;
constexpr int kSenseKeyOffset = 2;
constexpr uint8_t kSenseResponseMask = 0x7F;
constexpr uint8_t kSenseFixedCurrent = 0x70;
constexpr uint8_t kSenseFixedDeferred = 0x71;

// A fixed-format sense whose key says the data were read after a retry.
bool recovered(const sg_io_hdr_t& header, const uint8_t* sense) {
  if ((header.status & 0xFF) != kScsiCheckCondition || header.sb_len_wr <= kSenseKeyOffset)
    return false;
  const uint8_t response = sense[0] & kSenseResponseMask;
  if (response != kSenseFixedCurrent && response != kSenseFixedDeferred) return false;
  return (sense[kSenseKeyOffset] & kSenseKeyMask) == kSenseRecoveredError;
}

}  // namespace

void fill_sg_header(const ScsiCommand& command, uint8_t* cdb, uint8_t* sense,
                    sg_io_hdr_t* header) {
  std::memset(header, 0, sizeof *header);
  std::memcpy(cdb, command.cdb.bytes, kExecCdbBytes);
  header->interface_id = 'S';
  header->cmdp = cdb;
  header->cmd_len = command.cdb.length;
  header->sbp = sense;
  header->mx_sb_len = kSgSenseBytes;
  header->timeout = kSgTimeoutMs;
  header->dxferp = command.data;
  if (command.length == 0 || command.data == nullptr) {
    header->dxfer_direction = SG_DXFER_NONE;
    header->dxfer_len = 0;
    header->dxferp = nullptr;
  } else {
    header->dxfer_direction =
        (command.flags & kAspiDirOut) != 0 ? SG_DXFER_TO_DEV : SG_DXFER_FROM_DEV;
    header->dxfer_len = command.length;
  }
}

uint8_t aspi_status_from_sg(int ioctl_result, int error_number, const sg_io_hdr_t& header,
                            const uint8_t* sense) {
  if (ioctl_result < 0) {
    // The kernel refuses a transfer longer than the adapter takes before the
    // command reaches the drive: EIO from the block layer's size check,
    // EINVAL or ENOMEM when the buffer cannot be mapped.
    const bool refused_size = error_number == ENOMEM ||
                              ((error_number == EINVAL || error_number == EIO) &&
                               header.dxfer_len > kSgSafeTransferBytes);
    return refused_size ? kAspiBufferTooBig : kAspiError;
  }
  if ((header.info & SG_INFO_OK_MASK) == SG_INFO_OK) return kAspiComplete;
  if (header.host_status == 0 && recovered(header, sense)) return kAspiComplete;
  return kAspiError;
}

void store_sg_result(uint8_t* block, const sg_io_hdr_t& header, const uint8_t* sense) {
  block[kExecAdapterStatus] = static_cast<uint8_t>(header.host_status);
  block[kExecTargetStatus] = header.status;
  size_t length = header.sb_len_wr;
  if (length > block[kExecSenseLength]) length = block[kExecSenseLength];
  if (length > kExecSenseBytes) length = kExecSenseBytes;
  std::memcpy(block + kExecSense, sense, length);
}
