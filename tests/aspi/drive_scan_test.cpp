// The drive scan's decisions, with targets answered by a fake ASPI port.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_order.hpp"
#include "format/aspi/aspi_cdb.hpp"
#include "format/aspi/aspi_scan.hpp"
#include "state/cd_drives.hpp"

namespace {

struct FakeTarget {
  uint8_t type = 5;
  uint8_t form_bits = 0x30;
  int mode_sense_failures = 0;
  bool sense_fails = false;
  bool inquiry_fails = false;
  uint16_t buffer_kb = 128;
  std::string name = "VENDOR  PRODUCT";
};

class FakeBus {
 public:
  std::map<std::pair<int, int>, FakeTarget> targets;
  std::vector<std::string> log;

  AspiPort port() {
    AspiPort p;
    p.device_type = [this](uint8_t a, uint8_t t, uint8_t* type) -> uint8_t {
      auto it = targets.find({a, t});
      if (it == targets.end()) return kAspiNoDevice;
      *type = it->second.type;
      return kAspiComplete;
    };
    p.execute = [this](const ScsiCommand& c) { return execute(c); };
    return p;
  }

 private:
  uint8_t execute(const ScsiCommand& c) {
    FakeTarget& t = targets.at({c.adapter, c.target});
    EXPECT_EQ(c.flags, kAspiDirIn);
    switch (c.cdb.bytes[0]) {
      case kOpRequestSense:
        log.push_back("sense");
        EXPECT_EQ(c.length, kRequestSenseBytes);
        return t.sense_fails ? kAspiError : kAspiComplete;
      case kOpModeSense10:
        log.push_back("mode");
        EXPECT_EQ(c.length, kModeSenseBytes);
        if (t.mode_sense_failures > 0) {
          --t.mode_sense_failures;
          return kAspiError;
        }
        c.data[12] = t.form_bits;
        put_be16(c.data + 20, t.buffer_kb);
        return kAspiComplete;
      case kOpInquiry:
        log.push_back("inquiry");
        EXPECT_EQ(c.length, kInquiryBytes);
        if (t.inquiry_fails) return kAspiError;
        std::memset(c.data + 8, ' ', 24);
        std::memcpy(c.data + 8, t.name.data(), t.name.size());
        return kAspiComplete;
    }
    ADD_FAILURE() << "unexpected command " << int(c.cdb.bytes[0]);
    return kAspiError;
  }
};

TEST(DriveScan, AcceptsCdDrivesThatReadBothFormsInScanOrder) {
  FakeBus bus;
  bus.targets[{1, 2}] = FakeTarget{};
  bus.targets[{0, 4}] = FakeTarget{};
  bus.targets[{0, 4}].buffer_kb = 512;
  bus.targets[{0, 1}] = FakeTarget{};
  bus.targets[{0, 1}].type = 0;  // a disk
  bus.targets[{0, 3}] = FakeTarget{};
  bus.targets[{0, 3}].form_bits = 0x10;  // no Form 2
  bus.targets[{0, 5}] = FakeTarget{};
  bus.targets[{0, 5}].form_bits = 0x20;  // no Form 1
  bus.targets[{1, 0}] = FakeTarget{};
  bus.targets[{1, 0}].inquiry_fails = true;

  CdDriveTable table;
  const TargetScan last = scan_drives(bus.port(), 2, &table);
  EXPECT_NE(last.outcome, TargetOutcome::SenseFailed);
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.drives[0].adapter, 0);
  EXPECT_EQ(table.drives[0].target, 4);
  EXPECT_EQ(table.drives[0].max_sectors, 512);
  EXPECT_EQ(table.drives[1].adapter, 1);
  EXPECT_EQ(table.drives[1].target, 2);
  EXPECT_EQ(table.drives[1].lun, 0);
  EXPECT_STREQ(table.drives[1].name(), "VENDOR  PRODUCT         ");
}

TEST(DriveScan, SenseClearsTheWayAndAFailedModeSenseIsAskedOnceMore) {
  FakeBus bus;
  bus.targets[{0, 0}] = FakeTarget{};
  bus.targets[{0, 0}].mode_sense_failures = 1;
  CdDrive drive;
  EXPECT_EQ(scan_target(bus.port(), 0, 0, &drive).outcome, TargetOutcome::Accepted);
  EXPECT_EQ(bus.log, (std::vector<std::string>{"sense", "mode", "sense", "mode", "inquiry"}));

  bus.log.clear();
  bus.targets[{0, 0}].mode_sense_failures = 2;
  EXPECT_EQ(scan_target(bus.port(), 0, 0, &drive).outcome, TargetOutcome::Skipped);
  EXPECT_EQ(bus.log, (std::vector<std::string>{"sense", "mode", "sense", "mode"}));
}

TEST(DriveScan, AFailingRequestSenseStopsTheScan) {
  FakeBus bus;
  bus.targets[{0, 0}] = FakeTarget{};
  bus.targets[{0, 0}].sense_fails = true;
  bus.targets[{0, 1}] = FakeTarget{};
  CdDriveTable table;
  const TargetScan result = scan_drives(bus.port(), 1, &table);
  EXPECT_EQ(result.outcome, TargetOutcome::SenseFailed);
  EXPECT_EQ(result.status, kAspiError);
  EXPECT_EQ(table.count, 0);
}

TEST(DriveScan, KeepsTheFirstEightOfMoreQualifyingDrives) {
  FakeBus bus;
  for (int a = 0; a < 2; ++a)
    for (int t = 0; t < 8; ++t) bus.targets[{a, t}] = FakeTarget{};
  CdDriveTable table;
  scan_drives(bus.port(), 2, &table);
  ASSERT_EQ(table.count, kMaxCdDrives);
  for (int i = 0; i < kMaxCdDrives; ++i) {
    EXPECT_EQ(table.drives[i].adapter, 0);
    EXPECT_EQ(table.drives[i].target, i);
  }
  // Nothing on the second adapter was even asked.
  EXPECT_EQ(std::count(bus.log.begin(), bus.log.end(), "inquiry"), kMaxCdDrives);
}

TEST(DriveScan, TargetsBeyondSevenAreNotExamined) {
  FakeBus bus;
  bus.targets[{0, 8}] = FakeTarget{};
  CdDriveTable table;
  scan_drives(bus.port(), 1, &table);
  EXPECT_EQ(table.count, 0);
}

TEST(DriveChoice, MatchingPairOrTheFirstDrive) {
  CdDriveTable table;
  table.count = 3;
  table.drives[0].adapter = 0, table.drives[0].target = 1;
  table.drives[1].adapter = 1, table.drives[1].target = 0;
  table.drives[2].adapter = 1, table.drives[2].target = 3;
  EXPECT_EQ(find_cd_drive(table, 1, 3), 2);
  EXPECT_EQ(find_cd_drive(table, 1, 0), 1);
  EXPECT_EQ(find_cd_drive(table, -1, -1), 0);
  EXPECT_EQ(find_cd_drive(table, 0, 3), 0);
  table.count = 2;  // records past the count are not drives
  EXPECT_EQ(find_cd_drive(table, 1, 3), 0);
}

}  // namespace
