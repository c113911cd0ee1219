// Record arithmetic of the two sector file forms, and the names and mounts
// the drive check works with.
#include "format/disc/sector_file_form.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "format/disc/disc_name.hpp"
#include "platform/host_file.hpp"

namespace {

TEST(SectorFileForm, RecognisesTheSyncPatternOnly) {
  uint8_t sync[16] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0, 2, 0x16, 2};
  EXPECT_TRUE(starts_with_sync(sync, sizeof sync));
  EXPECT_TRUE(starts_with_sync(sync, 12));
  EXPECT_FALSE(starts_with_sync(sync, 11));  // a file too short to hold it
  sync[11] = 0x01;
  EXPECT_FALSE(starts_with_sync(sync, sizeof sync));
  sync[11] = 0x00;
  sync[5] = 0xFE;
  EXPECT_FALSE(starts_with_sync(sync, sizeof sync));
  // A typical XA subheader (file, channel, submode, coding, then the copy).
  const uint8_t subheader[12] = {1, 1, 0x64, 0x01, 1, 1, 0x64, 0x01, 0, 0, 0, 0};
  EXPECT_FALSE(starts_with_sync(subheader, sizeof subheader));
}

TEST(SectorFileForm, EveryOneOfTheTwelveSyncBytesCounts) {
  const uint8_t sync[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  ASSERT_TRUE(starts_with_sync(sync, sizeof sync));
  for (size_t i = 0; i < sizeof sync; ++i) {
    uint8_t altered[12];
    std::memcpy(altered, sync, sizeof sync);
    altered[i] ^= 0x01;
    EXPECT_FALSE(starts_with_sync(altered, sizeof altered)) << "byte " << i;
  }
}

TEST(SectorFileForm, OffsetsAndCountsUseWholeRecordsOfTheForm) {
  EXPECT_EQ(record_offset(0, false), 0);
  EXPECT_EQ(record_offset(3, false), 3 * 2336);
  EXPECT_EQ(record_offset(0, true), 16);
  EXPECT_EQ(record_offset(3, true), 3 * 2352 + 16);
  EXPECT_EQ(record_offset(1000000, false), int64_t{1000000} * 2336);  // past 2 GiB

  EXPECT_EQ(record_count(2336 * 10 + 100, false), 10);
  EXPECT_EQ(record_count(2336 * 10 + 100, true), 9);  // 23460 / 2352
  EXPECT_EQ(record_count(2352 * 10, true), 10);
  EXPECT_EQ(record_count(2335, false), 0);
  EXPECT_EQ(record_count(0, false), 0);
  EXPECT_EQ(record_count(int64_t{1} << 50, false), 0x7FFFFFFF);
}

TEST(SectorFileForm, BulkCountsStopAtTheEnd) {
  EXPECT_EQ(clamp_to_end(0, 16, 100), 16);
  EXPECT_EQ(clamp_to_end(90, 16, 100), 10);
  EXPECT_EQ(clamp_to_end(100, 16, 100), 0);
  EXPECT_EQ(clamp_to_end(120, 16, 100), 0);
  EXPECT_EQ(clamp_to_end(0x7FFFFFF0, 0xFFFF, 0x7FFFFFFF), 15);
}

TEST(DiscName, SkipsDriveAndOneSeparator) {
  EXPECT_EQ(disc_name_start("E:\\MOVIE\\OPEN.STR"), 3u);
  EXPECT_EQ(disc_name_start("E:MOVIE"), 2u);
  EXPECT_EQ(disc_name_start("\\MOVIE"), 1u);
  EXPECT_EQ(disc_name_start("/movie"), 1u);
  EXPECT_EQ(disc_name_start("//MOVIE"), 1u);  // only one separator
  EXPECT_EQ(disc_name_start("MOVIE"), 0u);
  EXPECT_EQ(disc_name_start(""), 0u);
  EXPECT_EQ(disc_name_start(":"), 0u);

  char name[] = "movie\\Open.str;1 \xe3\x81\x82z";
  upper_case_ascii(name);
  EXPECT_STREQ(name, "MOVIE\\OPEN.STR;1 \xe3\x81\x82Z");
}

TEST(MountTable, PicksTheLongestWholeComponentPrefix) {
  const std::string mountinfo =
      "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "40 22 11:0 / /media/cd rw master:3 - iso9660 /dev/sr0 ro\n"
      "41 22 7:0 / /media/cd\\040two ro - udf /dev/loop0 ro\n"
      "42 22 0:5 / /media/cdrom rw - tmpfs tmpfs rw\n"
      "broken line\n";
  MountEntry mount;
  ASSERT_TRUE(find_mount(mountinfo, "/media/cd/MOVIE/OPEN.STR", &mount));
  EXPECT_EQ(mount.mount_point, "/media/cd");
  EXPECT_EQ(mount.fs_type, "iso9660");
  EXPECT_TRUE(is_cd_file_system(mount.fs_type));

  ASSERT_TRUE(find_mount(mountinfo, "/media/cdrom/x", &mount));  // not under /media/cd
  EXPECT_EQ(mount.fs_type, "tmpfs");
  EXPECT_FALSE(is_cd_file_system(mount.fs_type));

  ASSERT_TRUE(find_mount(mountinfo, "/media/cd two/a", &mount));
  EXPECT_EQ(mount.fs_type, "udf");
  ASSERT_TRUE(find_mount(mountinfo, "/home/a", &mount));
  EXPECT_EQ(mount.mount_point, "/");

  // A later mount on the same point hides the earlier one.
  ASSERT_TRUE(find_mount(mountinfo + "50 40 0:9 / /media/cd rw - ext4 x rw\n", "/media/cd/a",
                         &mount));
  EXPECT_EQ(mount.fs_type, "ext4");
  EXPECT_FALSE(find_mount("", "/a", &mount));
}

}  // namespace
