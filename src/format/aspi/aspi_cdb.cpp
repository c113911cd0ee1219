// CDB builders for the commands of the drive scan, the probe and the reads.
#include "format/aspi/aspi_cdb.hpp"

#include "base/byte_order.hpp"

namespace {

constexpr uint8_t kCdb6 = 6;
constexpr uint8_t kCdb10 = 10;
constexpr uint8_t kCdb12 = 12;

}  // namespace

Cdb cdb_request_sense() {
  Cdb cdb;
  cdb.length = kCdb6;
  cdb.bytes[0] = kOpRequestSense;
  cdb.bytes[4] = static_cast<uint8_t>(kRequestSenseBytes);  // allocation length
  return cdb;
}

Cdb cdb_mode_sense_capabilities() {
  Cdb cdb;
  cdb.length = kCdb10;
  cdb.bytes[0] = kOpModeSense10;
  cdb.bytes[2] = kPageCdCapabilities;  // current values of page 2A
  put_be16(cdb.bytes + 7, kModeSenseBytes);  // allocation length
  return cdb;
}

Cdb cdb_inquiry() {
  Cdb cdb;
  cdb.length = kCdb6;
  cdb.bytes[0] = kOpInquiry;
  cdb.bytes[4] = static_cast<uint8_t>(kInquiryBytes);
  return cdb;
}

Cdb cdb_set_cd_speed_fastest() {
  constexpr uint16_t kFastest = 0xFFFF;
  Cdb cdb;
  cdb.length = kCdb12;
  cdb.bytes[0] = kOpSetCdSpeed;
  put_be16(cdb.bytes + 2, kFastest);  // read speed; write speed left 0
  return cdb;
}

Cdb cdb_read_toc() {
  Cdb cdb;
  cdb.length = kCdb10;
  cdb.bytes[0] = kOpReadToc;
  // Byte 1 MSF bit clear: addresses as logical blocks; format 0 from track 0.
  put_be16(cdb.bytes + 7, kReadTocBytes);
  return cdb;
}

Cdb cdb_read_cd(uint32_t lba, uint16_t count, bool raw_form) {
  Cdb cdb;
  cdb.length = kCdb12;
  cdb.bytes[0] = kOpReadCd;
  // Byte 1, the expected sector type, stays 0: any type.
  put_be32(cdb.bytes + 2, lba);
  put_be16(cdb.bytes + 7, count);  // bytes 6 to 8 hold the count; byte 6 stays 0
  cdb.bytes[9] = raw_form ? kReadCdSubheaderDataEcc : kReadCdUserData;
  return cdb;
}
