// Request blocks and CDBs at the byte level.
#include <gtest/gtest.h>

#include <vector>

#include "format/aspi/aspi_block.hpp"
#include "format/aspi/aspi_cdb.hpp"

namespace {

std::vector<uint8_t> bytes_of(const Cdb& cdb) {
  return std::vector<uint8_t>(cdb.bytes, cdb.bytes + cdb.length);
}

TEST(AspiCdb, EveryCommandHasItsExactBytes) {
  using V = std::vector<uint8_t>;
  EXPECT_EQ(bytes_of(cdb_request_sense()), (V{0x03, 0, 0, 0, 0x12, 0}));
  EXPECT_EQ(bytes_of(cdb_mode_sense_capabilities()), (V{0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 0x20, 0}));
  EXPECT_EQ(bytes_of(cdb_inquiry()), (V{0x12, 0, 0, 0, 0x20, 0}));
  EXPECT_EQ(bytes_of(cdb_set_cd_speed_fastest()),
            (V{0xBB, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(bytes_of(cdb_read_toc()), (V{0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}));
  EXPECT_EQ(bytes_of(cdb_read_cd(0x12345678, 1, true)),
            (V{0xBE, 0, 0x12, 0x34, 0x56, 0x78, 0, 0, 1, 0x58, 0, 0}));
  EXPECT_EQ(bytes_of(cdb_read_cd(16, 1, false)),
            (V{0xBE, 0, 0, 0, 0, 16, 0, 0, 1, 0x10, 0, 0}));
  EXPECT_EQ(bytes_of(cdb_read_cd(0x100, 0x1A2, true)),
            (V{0xBE, 0, 0, 0, 1, 0, 0, 0x01, 0xA2, 0x58, 0, 0}));
  // The allocation lengths in the CDBs match the buffers the layer passes.
  EXPECT_EQ(cdb_request_sense().bytes[4], kRequestSenseBytes);
  EXPECT_EQ(cdb_inquiry().bytes[4], kInquiryBytes);
}

TEST(AspiBlock, ScsiRequestFieldsSitAtThePublishedOffsets) {
  uint8_t data[2336];
  ScsiCommand command;
  command.adapter = 3;
  command.target = 5;
  command.flags = kAspiDirIn;
  command.cdb = cdb_read_cd(0x01020304, 1, true);
  command.data = data;
  command.length = 2336;

  uint8_t block[kExecBlockBytes + 8];
  std::fill(block, block + sizeof block, 0xEE);
  build_scsi_request(block, command);

  EXPECT_EQ(block[0], 2);
  EXPECT_EQ(block[1], 0);  // pending
  EXPECT_EQ(block[2], 3);
  EXPECT_EQ(block[3], 0x08);
  EXPECT_EQ(block[8], 5);
  EXPECT_EQ(block[9], 0);
  EXPECT_EQ(get_le32(block + 12), 2336u);
  EXPECT_EQ(get_block_pointer(block + 16), data);
  EXPECT_EQ(block[kExecSenseLength], 14);
  EXPECT_EQ(block[kExecCdbLength], 12);
  EXPECT_EQ(get_block_pointer(block + kExecPostRoutine), nullptr);
  EXPECT_EQ(block[kExecCdb], 0xBE);
  EXPECT_EQ(block[kExecCdb + 5], 0x04);
  for (size_t i = kExecSense; i < kExecBlockBytes; ++i) EXPECT_EQ(block[i], 0) << i;
  EXPECT_EQ(block[kExecBlockBytes], 0xEE) << "the block must not spill over";

  if (sizeof(void*) == 8) {
    // The published structure with natural alignment on a 64-bit build.
    EXPECT_EQ(kExecSenseLength, 24u);
    EXPECT_EQ(kExecPostRoutine, 32u);
    EXPECT_EQ(kExecCdb, 60u);
    EXPECT_EQ(kExecSense, 76u);
    EXPECT_EQ(kExecBlockBytes, 96u);
  }

  const ScsiCommand back = parse_scsi_request(block);
  EXPECT_EQ(back.adapter, 3);
  EXPECT_EQ(back.target, 5);
  EXPECT_EQ(back.flags, kAspiDirIn);
  EXPECT_EQ(back.data, data);
  EXPECT_EQ(back.length, 2336u);
  EXPECT_EQ(back.cdb.length, 12);
  EXPECT_EQ(back.sense_length, 14);
  EXPECT_EQ(std::vector<uint8_t>(back.cdb.bytes, back.cdb.bytes + 16),
            std::vector<uint8_t>(command.cdb.bytes, command.cdb.bytes + 16));
}

TEST(AspiBlock, DeviceTypeRequestIsTwelveZeroedBytes) {
  uint8_t block[kGdevBlockBytes + 1];
  std::fill(block, block + sizeof block, 0xEE);
  build_device_type_request(block, 1, 6);
  const uint8_t expected[kGdevBlockBytes] = {1, 0, 1, 0, 0, 0, 0, 0, 6, 0, 0, 0};
  EXPECT_TRUE(std::equal(block, block + kGdevBlockBytes, expected));
  EXPECT_EQ(block[kGdevBlockBytes], 0xEE);
}

TEST(AspiBlock, SupportInfoPacksStatusAndAdapterCount) {
  EXPECT_EQ(aspi_support_value(1, 3), 0x0103u);
  EXPECT_EQ(aspi_support_status(0x0E800), 0xE8);
  EXPECT_EQ(aspi_support_adapters(0x0103), 3);
}

}  // namespace
