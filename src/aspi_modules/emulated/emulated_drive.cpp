// An ASPI module whose drives are emulated: ATAPI CD drives that serve a
// disc image and answer INQUIRY, MODE SENSE page 2A, REQUEST SENSE, READ
// TOC, READ CD and SET CD SPEED, with the faults the tests ask for (see
// emulated_config.hpp). Requests complete before SendASPI32Command returns.
// Every request block is checked strictly against what the commands need;
// one that is not is answered with "invalid block" and logged as REJECTED.
#include <cstdio>
#include <cstring>
#include <string>

#include "aspi_modules/aspi_exports.hpp"
#include "aspi_modules/emulated/emulated_config.hpp"
#include "aspi_modules/emulated/emulated_image.hpp"
#include "base/byte_order.hpp"
#include "format/aspi/aspi_block.hpp"
#include "format/aspi/aspi_cdb.hpp"
#include "format/disc/xa_sector.hpp"
#include "platform/module_export.hpp"

namespace {

// Sense keys and codes the drive reports.
constexpr uint8_t kSenseNotReady = 0x02;
constexpr uint8_t kSenseIllegalRequest = 0x05;
constexpr uint8_t kSenseHardwareError = 0x04;
constexpr uint8_t kCodeMediumNotPresent = 0x3A;
constexpr uint8_t kCodeLbaOutOfRange = 0x21;
constexpr uint8_t kCodeInvalidField = 0x24;
constexpr uint8_t kCodeReadError = 0x11;
constexpr uint8_t kFixedSenseFormat = 0x70;
constexpr uint8_t kSenseAdditionalLength = 10;

// READ TOC answer.
constexpr uint8_t kTocControlData = 0x14;  // ADR 1, data track
constexpr uint8_t kLeadOutTrack = 0xAA;
constexpr uint8_t kMsfBit = 0x02;

struct Emulator {
  EmulatorConfig config;
  EmulatedDisc disc;
  FILE* log = nullptr;
  uint8_t last_read[kExecCdbBytes] = {};
  int repeat_run = 0;
  int differ_count = 0;

  Emulator() : config(read_emulator_config()) {
    disc.open(config.image);
    if (!config.log.empty()) log = std::fopen(config.log.c_str(), "a");
  }
  ~Emulator() {
    if (log != nullptr) std::fclose(log);
  }

  EmulatedDrive* find(uint8_t adapter, uint8_t target) {
    for (EmulatedDrive& drive : config.drives)
      if (drive.adapter == adapter && drive.target == target) return &drive;
    return nullptr;
  }
};

Emulator& emulator() {
  static Emulator instance;
  return instance;
}

uint8_t fail(EmulatedDrive* drive, uint8_t key, uint8_t code) {
  drive->sense_key = key;
  drive->sense_code = code;
  return kAspiError;
}

// The data length a command must carry, or -1 for a CDB this drive refuses.
long expected_length(const Cdb& cdb) {
  const uint8_t* b = cdb.bytes;
  switch (b[0]) {
    case kOpRequestSense:
      return cdb.length == 6 ? b[4] : -1;
    case kOpInquiry:
      return cdb.length == 6 ? b[4] : -1;
    case kOpModeSense10:
      return cdb.length == 10 && b[2] == kPageCdCapabilities ? get_be16(b + 7) : -1;
    case kOpReadToc:
      return cdb.length == 10 && (b[1] & kMsfBit) == 0 && b[2] == 0 ? get_be16(b + 7) : -1;
    case kOpSetCdSpeed:
      return cdb.length == 12 ? 0 : -1;
    case kOpReadCd: {
      if (cdb.length != 12 || b[1] != 0 || b[10] != 0) return -1;
      const long count = (static_cast<long>(b[6]) << 16) | get_be16(b + 7);
      if (b[9] == kReadCdSubheaderDataEcc) return count * kSectorBytes;
      if (b[9] == kReadCdUserData) return count * kUserDataBytes;
      return -1;
    }
    default:
      return -1;
  }
}

// Why a request block cannot be carried out, or nullptr.
const char* block_fault(const ScsiCommand& command) {
  const long length = expected_length(command.cdb);
  if (length < 0) return "unknown or malformed CDB";
  if (command.lun != 0) return "LUN";
  if (command.sense_length != kAspiSenseLength) return "sense length";
  if (static_cast<long>(command.length) != length) return "data length";
  if (length > 0 && (command.flags != kAspiDirIn || command.data == nullptr))
    return "data direction";
  if (length == 0 && command.flags != 0) return "flags without data";
  return nullptr;
}

// Changes one byte of a delivered sector, differently for every index.
void alter(uint8_t* sector, int index) {
  constexpr int kAlteredOffset = 100;
  constexpr int kSpread = 64;
  sector[kAlteredOffset + index % kSpread] ^= static_cast<uint8_t>(0x80 | index);
}

uint8_t read_cd(Emulator& emu, EmulatedDrive* drive, const ScsiCommand& command) {
  const uint8_t* b = command.cdb.bytes;
  const uint32_t lba = get_be32(b + 2);
  const uint32_t count = (static_cast<uint32_t>(b[6]) << 16) | get_be16(b + 7);
  const bool raw_form = b[9] == kReadCdSubheaderDataEcc;
  const uint32_t bytes = raw_form ? kSectorBytes : kUserDataBytes;

  if (std::memcmp(emu.last_read, b, kExecCdbBytes) == 0) {
    ++emu.repeat_run;
  } else {
    std::memcpy(emu.last_read, b, kExecCdbBytes);
    emu.repeat_run = 1;
  }
  if (emu.config.max_transfer != 0 && count > emu.config.max_transfer) {
    if (emu.config.too_large_e6) return kAspiBufferTooBig;
    return fail(drive, kSenseIllegalRequest, kCodeInvalidField);
  }
  if (emu.config.fail_reads > 0) {
    --emu.config.fail_reads;
    return fail(drive, kSenseHardwareError, kCodeReadError);
  }
  if (!emu.disc.present()) return fail(drive, kSenseNotReady, kCodeMediumNotPresent);
  if (lba >= emu.disc.sectors() || count > emu.disc.sectors() - lba)
    return fail(drive, kSenseIllegalRequest, kCodeLbaOutOfRange);

  uint8_t sector[kSectorBytes];
  for (uint32_t i = 0; i < count; ++i) {
    if (!emu.disc.read(lba + i, sector)) return fail(drive, kSenseHardwareError, kCodeReadError);
    std::memcpy(command.data + static_cast<size_t>(i) * bytes,
                raw_form ? sector : sector + kSubheaderBytes, bytes);
  }
  // Every second read of a repeated command comes back altered while the
  // budget lasts, so each pair of reads disagrees once.
  if (emu.repeat_run % 2 == 0 && emu.differ_count < emu.config.differ && count > 0) {
    const int64_t target = emu.config.differ_lba < 0 ? lba + count - 1 : emu.config.differ_lba;
    if (target >= lba && target < static_cast<int64_t>(lba) + count) {
      alter(command.data + static_cast<size_t>(target - lba) * bytes, emu.differ_count++);
    }
  }
  return kAspiComplete;
}

uint8_t mode_sense(Emulator& emu, EmulatedDrive* drive, const ScsiCommand& command) {
  if (drive->mode_sense_failures > 0) {
    --drive->mode_sense_failures;
    return fail(drive, kSenseNotReady, kCodeMediumNotPresent);
  }
  uint8_t* d = command.data;
  constexpr size_t kHeader = 8;
  put_be16(d, command.length - 2);  // mode data length
  if (drive->short_mode_sense) return kAspiComplete;
  uint8_t* page = d + kHeader;
  page[0] = kPageCdCapabilities;
  page[1] = static_cast<uint8_t>(command.length - kHeader - 2);
  page[4] = static_cast<uint8_t>((drive->reads_form1 ? 0x10 : 0) | (drive->reads_form2 ? 0x20 : 0));
  put_be16(page + 12, emu.config.buffer_kb);
  return kAspiComplete;
}

uint8_t inquiry(EmulatedDrive* drive, const ScsiCommand& command) {
  if (drive->inquiry_fails) return fail(drive, kSenseIllegalRequest, kCodeInvalidField);
  uint8_t answer[kInquiryBytes] = {};
  answer[0] = drive->device_type;
  answer[1] = 0x80;  // removable medium
  answer[4] = kInquiryBytes - 5;
  // Vendor (8 bytes) and product (16 bytes), padded with spaces.
  char name[64];
  std::memset(name, ' ', sizeof name);
  const int written =
      drive->odd_name
          ? std::snprintf(name, sizeof name, "KORVANE \x1b[2J\r\nEMU\x07%u:%u", drive->adapter,
                          drive->target)
          : std::snprintf(name, sizeof name, "KORVANE EMU CD %u:%u", drive->adapter,
                          drive->target);
  if (written >= 0 && written < static_cast<int>(sizeof name)) name[written] = ' ';
  std::memcpy(answer + 8, name, kInquiryBytes - 8);
  const size_t delivered = drive->short_inquiry ? 8 : kInquiryBytes;
  std::memcpy(command.data, answer, delivered < command.length ? delivered : command.length);
  return kAspiComplete;
}

uint8_t request_sense(EmulatedDrive* drive, const ScsiCommand& command) {
  if (drive->sense_fails) return kAspiError;
  uint8_t sense[kRequestSenseBytes] = {};
  sense[0] = kFixedSenseFormat;
  sense[2] = drive->sense_key;
  sense[7] = kSenseAdditionalLength;
  sense[12] = drive->sense_code;
  std::memcpy(command.data, sense, command.length < sizeof sense ? command.length : sizeof sense);
  drive->sense_key = 0;
  drive->sense_code = 0;
  return kAspiComplete;
}

uint8_t read_toc(Emulator& emu, EmulatedDrive* drive, const ScsiCommand& command) {
  if (!emu.disc.present()) return fail(drive, kSenseNotReady, kCodeMediumNotPresent);
  uint8_t toc[4 + 2 * 8] = {};
  const int entries = emu.config.toc_entries < 1 ? 1 : (emu.config.toc_entries > 2 ? 2 : emu.config.toc_entries);
  put_be16(toc, static_cast<uint32_t>(2 + entries * 8));
  toc[2] = 1;  // first and last track
  toc[3] = 1;
  uint8_t* track = toc + 4;
  track[1] = kTocControlData;
  track[2] = 1;
  put_be32(track + 4, 0);
  if (entries == 2) {
    uint8_t* lead_out = track + 8;
    lead_out[1] = kTocControlData;
    lead_out[2] = kLeadOutTrack;
    put_be32(lead_out + 4, emu.disc.sectors());
  }
  const size_t used = 4 + static_cast<size_t>(entries) * 8;
  std::memcpy(command.data, toc, used < command.length ? used : command.length);
  return kAspiComplete;
}

uint8_t execute(Emulator& emu, const ScsiCommand& command, const char** note) {
  EmulatedDrive* drive = emu.find(command.adapter, command.target);
  if (command.adapter >= emu.config.adapters) return kAspiInvalidAdapter;
  if (drive == nullptr || drive->device_type != kDeviceTypeCdrom) return kAspiNoDevice;
  *note = block_fault(command);
  if (*note != nullptr) return kAspiInvalidBlock;
  switch (command.cdb.bytes[0]) {
    case kOpRequestSense: return request_sense(drive, command);
    case kOpInquiry: return inquiry(drive, command);
    case kOpModeSense10: return mode_sense(emu, drive, command);
    case kOpReadToc: return read_toc(emu, drive, command);
    case kOpSetCdSpeed: return kAspiComplete;
    case kOpReadCd: return read_cd(emu, drive, command);
    default: return kAspiInvalidCommand;
  }
}

void log_exec(Emulator& emu, const ScsiCommand& command, uint8_t status, const char* note) {
  if (emu.log == nullptr) return;
  std::fprintf(emu.log, "exec %u:%u cdb=", command.adapter, command.target);
  for (int i = 0; i < command.cdb.length && i < static_cast<int>(kExecCdbBytes); ++i)
    std::fprintf(emu.log, "%02x", command.cdb.bytes[i]);
  std::fprintf(emu.log, " len=%u status=%02x%s%s\n", command.length, status,
               note != nullptr ? " REJECTED " : "", note != nullptr ? note : "");
  std::fflush(emu.log);
}

}  // namespace

uint32_t GetASPI32SupportInfo() {
  Emulator& emu = emulator();
  if (emu.config.host_missing) return aspi_support_value(kAspiNoAdapters, 0);
  return aspi_support_value(kAspiComplete, static_cast<uint8_t>(emu.config.adapters));
}

uint32_t SendASPI32Command(void* request) {
  Emulator& emu = emulator();
  uint8_t* block = static_cast<uint8_t*>(request);
  uint8_t status = kAspiInvalidCommand;
  if (block[kSrbCommand] == kAspiGetDeviceType) {
    const EmulatedDrive* drive = emu.find(block[kSrbAdapter], block[kSrbTarget]);
    status = block[kSrbAdapter] >= emu.config.adapters ? kAspiInvalidAdapter
             : drive == nullptr                        ? kAspiNoDevice
                                                       : kAspiComplete;
    if (drive != nullptr) block[kGdevDeviceType] = drive->device_type;
    if (emu.log != nullptr)
      std::fprintf(emu.log, "gdev %u:%u status=%02x\n", block[kSrbAdapter], block[kSrbTarget],
                   status);
  } else if (block[kSrbCommand] == kAspiExecScsi) {
    const ScsiCommand command = parse_scsi_request(block);
    const char* note = nullptr;
    status = execute(emu, command, &note);
    log_exec(emu, command, status, note);
  }
  block[kSrbStatus] = status;
  return status;
}
