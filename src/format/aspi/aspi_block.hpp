// ASPI request blocks as bytes: the device-type request (SRB_GDEVBlock) and
// the SCSI request (SRB_ExecSCSICmd), laid out as the published ASPI for
// Win32 structures with natural alignment and the platform's pointer width.
// Both korvane and the ASPI modules build and read blocks through these
// helpers, so the two sides can never disagree on an offset.
//
// SCSI request offsets (P = pointer width):
//   field            32-bit build  64-bit build
//   command code           0             0
//   status                 1             1
//   host adapter           2             2
//   flags                  3             3
//   header reserved        4             4   (4 bytes)
//   target id              8             8
//   LUN                    9             9
//   reserved              10            10   (2 bytes)
//   data length           12            12   (4 bytes, little-endian)
//   data pointer          16            16   (P bytes)
//   sense length          20            24
//   CDB length            21            25
//   adapter status        22            26
//   target status         23            27
//   completion routine    24            32   (P bytes, aligned to P)
//   reserved              28            40   (20 bytes)
//   CDB                   48            60   (16 bytes)
//   sense area            64            76   (16 bytes)
//   block size            80            96   (rounded up to P)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/byte_order.hpp"

// Request codes.
constexpr uint8_t kAspiGetDeviceType = 1;
constexpr uint8_t kAspiExecScsi = 2;

// Status byte values.
constexpr uint8_t kAspiPending = 0x00;
constexpr uint8_t kAspiComplete = 0x01;
constexpr uint8_t kAspiError = 0x04;
constexpr uint8_t kAspiInvalidCommand = 0x80;
constexpr uint8_t kAspiInvalidAdapter = 0x81;
constexpr uint8_t kAspiNoDevice = 0x82;
constexpr uint8_t kAspiInvalidBlock = 0xE0;
constexpr uint8_t kAspiBufferTooBig = 0xE6;
constexpr uint8_t kAspiNoAdapters = 0xE8;

// Request flags.
constexpr uint8_t kAspiDirIn = 0x08;   // data from the device
constexpr uint8_t kAspiDirOut = 0x10;  // data to the device

// GetASPI32SupportInfo: status in bits 8 to 15, adapter count in bits 0 to 7.
constexpr uint32_t aspi_support_value(uint8_t status, uint8_t adapters) {
  return (static_cast<uint32_t>(status) << 8) | adapters;
}
constexpr uint8_t aspi_support_status(uint32_t value) { return static_cast<uint8_t>(value >> 8); }
constexpr uint8_t aspi_support_adapters(uint32_t value) { return static_cast<uint8_t>(value); }

// Device type reported for a CD-ROM drive.
constexpr uint8_t kDeviceTypeCdrom = 5;

// Fields shared by both request blocks.
constexpr size_t kSrbCommand = 0;
constexpr size_t kSrbStatus = 1;
constexpr size_t kSrbAdapter = 2;
constexpr size_t kSrbFlags = 3;
constexpr size_t kSrbTarget = 8;
constexpr size_t kSrbLun = 9;

// Device-type request (12 bytes, no pointers).
constexpr size_t kGdevDeviceType = 10;
constexpr size_t kGdevBlockBytes = 12;

// SCSI request.
constexpr size_t kPointerBytes = sizeof(void*);
constexpr size_t align_to_pointer(size_t offset) {
  return (offset + kPointerBytes - 1) / kPointerBytes * kPointerBytes;
}
constexpr size_t kExecDataLength = 12;
constexpr size_t kExecDataPointer = 16;
constexpr size_t kExecSenseLength = kExecDataPointer + kPointerBytes;
constexpr size_t kExecCdbLength = kExecSenseLength + 1;
constexpr size_t kExecAdapterStatus = kExecSenseLength + 2;
constexpr size_t kExecTargetStatus = kExecSenseLength + 3;
constexpr size_t kExecPostRoutine = align_to_pointer(kExecSenseLength + 4);
constexpr size_t kExecReserved2 = kExecPostRoutine + kPointerBytes;
constexpr size_t kExecReserved2Bytes = 20;
constexpr size_t kExecCdb = kExecReserved2 + kExecReserved2Bytes;
constexpr size_t kExecCdbBytes = 16;
constexpr size_t kExecSense = kExecCdb + kExecCdbBytes;
constexpr size_t kExecSenseBytes = 16;  // 14 bytes of sense and 2 spare
constexpr size_t kExecBlockBytes = align_to_pointer(kExecSense + kExecSenseBytes);

// Sense bytes korvane asks for with every SCSI request.
constexpr uint8_t kAspiSenseLength = 14;

static_assert(kPointerBytes != 4 || (kExecSenseLength == 20 && kExecPostRoutine == 24 &&
                                     kExecCdb == 48 && kExecSense == 64 && kExecBlockBytes == 80),
              "32-bit layout must be the published one");

// A CDB of 6, 10 or 12 bytes.
struct Cdb {
  uint8_t bytes[kExecCdbBytes] = {};
  uint8_t length = 0;
};

// One SCSI command to one target: what a SCSI request block carries.
struct ScsiCommand {
  uint8_t adapter = 0;
  uint8_t target = 0;
  uint8_t lun = 0;
  uint8_t flags = 0;          // kAspiDirIn for commands with data from the device
  Cdb cdb;
  uint8_t* data = nullptr;
  uint32_t length = 0;        // data buffer length in bytes
  uint8_t sense_length = kAspiSenseLength;
};

// Pointers are stored in the block in the machine's own (little-endian on
// every target of this program) order, kPointerBytes wide.
inline void put_block_pointer(uint8_t* p, const void* pointer) {
  uintptr_t value = reinterpret_cast<uintptr_t>(pointer);
  for (size_t i = 0; i < kPointerBytes; ++i) {
    p[i] = static_cast<uint8_t>(value & 0xFF);
    value >>= 8;
  }
}
inline void* get_block_pointer(const uint8_t* p) {
  uintptr_t value = 0;
  for (size_t i = kPointerBytes; i-- > 0;) value = (value << 8) | p[i];
  return reinterpret_cast<void*>(value);
}

// A zeroed device-type request for one target.
inline void build_device_type_request(uint8_t* block, uint8_t adapter, uint8_t target) {
  std::memset(block, 0, kGdevBlockBytes);
  block[kSrbCommand] = kAspiGetDeviceType;
  block[kSrbAdapter] = adapter;
  block[kSrbTarget] = target;
}

// A zeroed SCSI request carrying the command; no completion routine.
inline void build_scsi_request(uint8_t* block, const ScsiCommand& command) {
  std::memset(block, 0, kExecBlockBytes);
  block[kSrbCommand] = kAspiExecScsi;
  block[kSrbAdapter] = command.adapter;
  block[kSrbFlags] = command.flags;
  block[kSrbTarget] = command.target;
  block[kSrbLun] = command.lun;
  put_le32(block + kExecDataLength, command.length);
  put_block_pointer(block + kExecDataPointer, command.data);
  block[kExecSenseLength] = command.sense_length;
  block[kExecCdbLength] = command.cdb.length;
  std::memcpy(block + kExecCdb, command.cdb.bytes, kExecCdbBytes);
}

// What a module reads back from a SCSI request block.
inline ScsiCommand parse_scsi_request(const uint8_t* block) {
  ScsiCommand command;
  command.adapter = block[kSrbAdapter];
  command.flags = block[kSrbFlags];
  command.target = block[kSrbTarget];
  command.lun = block[kSrbLun];
  command.length = get_le32(block + kExecDataLength);
  command.data = static_cast<uint8_t*>(get_block_pointer(block + kExecDataPointer));
  command.sense_length = block[kExecSenseLength];
  command.cdb.length = block[kExecCdbLength];
  std::memcpy(command.cdb.bytes, block + kExecCdb, kExecCdbBytes);
  return command;
}
