// The SCSI/MMC commands korvane sends to a CD drive, as CDB bytes, and the
// data length each one transfers.
#pragma once

#include <cstdint>

#include "format/aspi/aspi_block.hpp"

// Operation codes.
constexpr uint8_t kOpRequestSense = 0x03;
constexpr uint8_t kOpInquiry = 0x12;
constexpr uint8_t kOpReadToc = 0x43;
constexpr uint8_t kOpModeSense10 = 0x5A;
constexpr uint8_t kOpSetCdSpeed = 0xBB;
constexpr uint8_t kOpReadCd = 0xBE;

// MODE SENSE page of the CD capabilities.
constexpr uint8_t kPageCdCapabilities = 0x2A;

// READ CD byte 9: which parts of a sector are transferred.
constexpr uint8_t kReadCdSubheaderDataEcc = 0x58;  // 2336 bytes of a Mode 2 sector
constexpr uint8_t kReadCdUserData = 0x10;          // 2048 bytes of a Form 1 sector

// Data lengths.
constexpr uint32_t kRequestSenseBytes = 18;
constexpr uint32_t kModeSenseBytes = 32;
constexpr uint32_t kInquiryBytes = 32;
constexpr uint32_t kReadTocBytes = 804;

Cdb cdb_request_sense();
Cdb cdb_mode_sense_capabilities();
Cdb cdb_inquiry();
Cdb cdb_set_cd_speed_fastest();
Cdb cdb_read_toc();
// READ CD of count sectors from lba; raw_form: 2336 bytes a sector, else the
// 2048 user-data bytes.
Cdb cdb_read_cd(uint32_t lba, uint16_t count, bool raw_form);
