// The SCSI generic module at the byte level: the SG_IO requests it makes for
// ASPI request blocks and the ASPI statuses it makes of the kernel's answers,
// with the kernel played by a fake backend.
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <scsi/scsi.h>
#include <scsi/sg.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "aspi_modules/sg_io/sg_aspi.hpp"
#include "aspi_modules/sg_io/sg_translate.hpp"
#include "format/aspi/aspi_cdb.hpp"

namespace {

TEST(SgTranslate, ReadCdBecomesAnInboundTransferWithItsCdb) {
  uint8_t data[2 * 2336];
  ScsiCommand command;
  command.flags = kAspiDirIn;
  command.cdb = cdb_read_cd(0x1234, 2, true);
  command.data = data;
  command.length = sizeof data;
  uint8_t cdb[kExecCdbBytes], sense[kSgSenseBytes];
  sg_io_hdr_t h;
  fill_sg_header(command, cdb, sense, &h);
  EXPECT_EQ(h.interface_id, 'S');
  EXPECT_EQ(h.dxfer_direction, SG_DXFER_FROM_DEV);
  EXPECT_EQ(h.dxfer_len, sizeof data);
  EXPECT_EQ(h.dxferp, data);
  EXPECT_EQ(h.cmd_len, 12);
  EXPECT_EQ(h.cmdp, cdb);
  const uint8_t expected[12] = {0xBE, 0, 0, 0, 0x12, 0x34, 0, 0, 2, 0x58, 0, 0};
  EXPECT_EQ(std::memcmp(cdb, expected, 12), 0);
  EXPECT_EQ(h.sbp, sense);
  EXPECT_EQ(h.mx_sb_len, kSgSenseBytes);
  EXPECT_GE(h.timeout, 10000u);
}

TEST(SgTranslate, SetCdSpeedCarriesNoData) {
  ScsiCommand command;
  command.cdb = cdb_set_cd_speed_fastest();
  uint8_t cdb[kExecCdbBytes], sense[kSgSenseBytes];
  sg_io_hdr_t h;
  fill_sg_header(command, cdb, sense, &h);
  EXPECT_EQ(h.dxfer_direction, SG_DXFER_NONE);
  EXPECT_EQ(h.dxfer_len, 0u);
  EXPECT_EQ(h.dxferp, nullptr);
  EXPECT_EQ(h.cmd_len, 12);
  EXPECT_EQ(cdb[2], 0xFF);
  EXPECT_EQ(cdb[3], 0xFF);
}

sg_io_hdr_t answered(uint8_t status, uint16_t host, uint16_t driver, unsigned sense_bytes) {
  sg_io_hdr_t h{};
  h.status = status;
  h.masked_status = status >> 1;
  h.host_status = host;
  h.driver_status = driver;
  h.sb_len_wr = static_cast<unsigned char>(sense_bytes);
  h.info = (status | host | driver) == 0 ? SG_INFO_OK : SG_INFO_CHECK;
  return h;
}

TEST(SgTranslate, KernelAnswersBecomeAspiStatuses) {
  uint8_t sense[kSgSenseBytes] = {0x70, 0, 0x03, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x11, 0};
  EXPECT_EQ(aspi_status_from_sg(0, 0, answered(0, 0, 0, 0), sense), kAspiComplete);
  // CHECK CONDITION with a medium error.
  EXPECT_EQ(aspi_status_from_sg(0, 0, answered(0x02, 0, 0x08, 18), sense), kAspiError);
  // A recovered error delivered the data.
  sense[2] = 0x01;
  EXPECT_EQ(aspi_status_from_sg(0, 0, answered(0x02, 0, 0x08, 18), sense), kAspiComplete);
  // ... but not when the adapter failed.
  EXPECT_EQ(aspi_status_from_sg(0, 0, answered(0x02, 0x07, 0x08, 18), sense), kAspiError);
  // No sense at all.
  EXPECT_EQ(aspi_status_from_sg(0, 0, answered(0x02, 0, 0, 0), sense), kAspiError);
  EXPECT_EQ(aspi_status_from_sg(0, 0, answered(0, 0x03, 0, 0), sense), kAspiError);
}

TEST(SgTranslate, RefusedLargeTransfersAreTooLargeOthersFail) {
  const uint8_t sense[kSgSenseBytes] = {};
  sg_io_hdr_t h{};
  h.dxfer_len = 128 * 1024;
  EXPECT_EQ(aspi_status_from_sg(-1, EINVAL, h, sense), kAspiBufferTooBig);
  EXPECT_EQ(aspi_status_from_sg(-1, EIO, h, sense), kAspiBufferTooBig);
  EXPECT_EQ(aspi_status_from_sg(-1, ENOMEM, h, sense), kAspiBufferTooBig);
  EXPECT_EQ(aspi_status_from_sg(-1, EBADF, h, sense), kAspiError);
  h.dxfer_len = 2336;
  EXPECT_EQ(aspi_status_from_sg(-1, EINVAL, h, sense), kAspiError);
  EXPECT_EQ(aspi_status_from_sg(-1, EIO, h, sense), kAspiError);
  EXPECT_EQ(aspi_status_from_sg(-1, ENOMEM, h, sense), kAspiBufferTooBig);
}

TEST(SgTranslate, SenseIsCopiedUpToTheBlocksSenseLength) {
  uint8_t block[kExecBlockBytes] = {};
  block[kExecSenseLength] = 14;
  uint8_t sense[kSgSenseBytes];
  for (int i = 0; i < kSgSenseBytes; ++i) sense[i] = static_cast<uint8_t>(0xA0 + i);
  const sg_io_hdr_t h = answered(0x02, 0x05, 0x08, 32);
  store_sg_result(block, h, sense);
  EXPECT_EQ(block[kExecAdapterStatus], 0x05);
  EXPECT_EQ(block[kExecTargetStatus], 0x02);
  EXPECT_EQ(block[kExecSense + 13], 0xAD);
  EXPECT_EQ(block[kExecSense + 14], 0) << "past the sense length";
}

// The fake kernel.
struct FakeNode {
  bool sg_id = true;       // answers SG_GET_SCSI_ID; else SCSI_IOCTL_GET_IDLUN
  int host = 0, id = 0, lun = 0, type = 5;
  int max_sectors = 0;     // BLKSECTGET; 0: refused
};
std::map<std::string, int> fake_paths;
std::map<int, FakeNode> fake_nodes;
std::vector<int> fake_closed;
int fake_errno = 0;
int fake_io_result = 0;
sg_io_hdr_t last_io{};
std::vector<uint8_t> last_cdb;
int last_io_fd = -1;

int fake_open(const char* path, int) {
  auto it = fake_paths.find(path);
  return it == fake_paths.end() ? -1 : it->second;
}
int fake_close(int fd) {
  fake_closed.push_back(fd);
  return 0;
}
int fake_error() { return fake_errno; }
int fake_ioctl(int fd, unsigned long request, void* arg) {
  const FakeNode& node = fake_nodes.at(fd);
  if (request == SG_GET_SCSI_ID) {
    if (!node.sg_id) return fake_errno = ENOTTY, -1;
    auto* id = static_cast<sg_scsi_id*>(arg);
    id->host_no = node.host;
    id->scsi_id = node.id;
    id->lun = node.lun;
    id->scsi_type = node.type;
    return 0;
  }
  if (request == SCSI_IOCTL_GET_IDLUN) {
    int* words = static_cast<int*>(arg);
    words[0] = node.id | (node.lun << 8) | (node.host << 24);
    return 0;
  }
  if (request == BLKSECTGET) {
    if (node.max_sectors == 0) return fake_errno = ENOTTY, -1;
    *static_cast<int*>(arg) = node.max_sectors;
    return 0;
  }
  if (request == SG_IO) {
    auto* h = static_cast<sg_io_hdr_t*>(arg);
    last_io = *h;
    last_io_fd = fd;
    last_cdb.assign(h->cmdp, h->cmdp + h->cmd_len);
    if (h->dxfer_len > 0) std::memset(h->dxferp, 0x5A, h->dxfer_len);
    if (fake_io_result < 0) fake_errno = EIO;
    return fake_io_result;
  }
  return fake_errno = ENOTTY, -1;
}

class SgModule : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_paths = {{"/dev/sr0", 10}, {"/dev/sr1", 11}, {"/dev/sr3", 13}, {"/dev/sr4", 14}};
    fake_nodes.clear();
    fake_nodes[10] = FakeNode{true, 2, 1, 0, 5, 0};
    fake_nodes[11] = FakeNode{false, 0, 3, 0, 5, 128};  // found through GET_IDLUN
    fake_nodes[13] = FakeNode{true, 2, 1, 0, 5, 0};     // the same address again
    fake_nodes[14] = FakeNode{true, 1, 0, 1, 5, 0};     // LUN 1
    fake_closed.clear();
    fake_io_result = 0;
  }
  SgBackend backend{fake_open, fake_ioctl, fake_close, fake_error};
};

TEST_F(SgModule, EnumeratesDrivesByHostAndId) {
  SgAspi aspi(backend);
  EXPECT_EQ(aspi.support_info(), aspi_support_value(kAspiComplete, 3));
  ASSERT_EQ(aspi.drives().size(), 2u);
  EXPECT_EQ(aspi.drives()[0].adapter, 2);
  EXPECT_EQ(aspi.drives()[0].target, 1);
  EXPECT_EQ(aspi.drives()[1].adapter, 0);
  EXPECT_EQ(aspi.drives()[1].target, 3);
  EXPECT_EQ(aspi.drives()[1].max_transfer_bytes, 128u * 512);
  EXPECT_EQ(fake_closed, (std::vector<int>{13, 14}));
}

TEST_F(SgModule, NoDrivesMeansNoAdapters) {
  fake_paths.clear();
  SgAspi aspi(backend);
  EXPECT_EQ(aspi.support_info(), aspi_support_value(kAspiComplete, 0));
}

TEST_F(SgModule, DeviceTypeRequests) {
  SgAspi aspi(backend);
  uint8_t block[kGdevBlockBytes];
  build_device_type_request(block, 2, 1);
  EXPECT_EQ(aspi.send(block), kAspiComplete);
  EXPECT_EQ(block[kSrbStatus], kAspiComplete);
  EXPECT_EQ(block[kGdevDeviceType], 5);
  build_device_type_request(block, 1, 1);
  EXPECT_EQ(aspi.send(block), kAspiNoDevice);
  build_device_type_request(block, 3, 0);
  EXPECT_EQ(aspi.send(block), kAspiInvalidAdapter);
  EXPECT_EQ(block[kSrbStatus], kAspiInvalidAdapter);
}

TEST_F(SgModule, ScsiRequestsReachTheRightNodeAndReportTheirStatus) {
  SgAspi aspi(backend);
  uint8_t data[kInquiryBytes] = {};
  ScsiCommand command;
  command.adapter = 0;
  command.target = 3;
  command.flags = kAspiDirIn;
  command.cdb = cdb_inquiry();
  command.data = data;
  command.length = sizeof data;
  uint8_t block[kExecBlockBytes];
  build_scsi_request(block, command);
  EXPECT_EQ(aspi.send(block), kAspiComplete);
  EXPECT_EQ(block[kSrbStatus], kAspiComplete);
  EXPECT_EQ(last_io_fd, 11);
  EXPECT_EQ(last_cdb, (std::vector<uint8_t>{0x12, 0, 0, 0, 0x20, 0}));
  EXPECT_EQ(last_io.dxfer_len, kInquiryBytes);
  EXPECT_EQ(data[0], 0x5A) << "the data land in the block's buffer";

  fake_io_result = -1;
  build_scsi_request(block, command);
  EXPECT_EQ(aspi.send(block), kAspiError);
  EXPECT_EQ(block[kSrbStatus], kAspiError);
}

TEST_F(SgModule, TransfersBeyondTheDevicesLimitAreRefusedUnsent) {
  SgAspi aspi(backend);
  std::vector<uint8_t> data(29 * 2336);
  ScsiCommand command;
  command.adapter = 0;
  command.target = 3;
  command.flags = kAspiDirIn;
  command.cdb = cdb_read_cd(0, 29, true);
  command.data = data.data();
  command.length = static_cast<uint32_t>(data.size());
  uint8_t block[kExecBlockBytes];
  build_scsi_request(block, command);
  last_io_fd = -1;
  EXPECT_EQ(aspi.send(block), kAspiBufferTooBig);
  EXPECT_EQ(last_io_fd, -1);
  // 28 sectors fit in 64 KiB.
  command.cdb = cdb_read_cd(0, 28, true);
  command.length = 28 * 2336;
  build_scsi_request(block, command);
  EXPECT_EQ(aspi.send(block), kAspiComplete);
  EXPECT_EQ(last_io_fd, 11);

  command.target = 4;  // no such drive
  build_scsi_request(block, command);
  EXPECT_EQ(aspi.send(block), kAspiNoDevice);
}

}  // namespace
