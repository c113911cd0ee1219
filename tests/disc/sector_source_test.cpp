// The sector source operations in-process: plain files and their ranges, the
// one-sector and bulk paths, both record forms, and the lookup in images.
#include "io/sector_source.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "tests/disc/iso_image_builder.hpp"
#include "tests/disc/source_fixture.hpp"
#include "tests/support/process.hpp"

namespace {

using testing::ExitedWithCode;

constexpr int kExitOpen = exit_status_of(kErrOpen);
constexpr int kExitRead = exit_status_of(kErrRead);
constexpr int kExitNotFound = exit_status_of(kErrNotFound);

std::string sector_of(const IsoImage& image, size_t n) {
  return std::string(image.sectors[n].begin(), image.sectors[n].end());
}

TEST_F(SectorSourceTest, PlainFileRangeIgnoresATrailingPartialRecord) {
  IsoImage image(10);
  write_file(dir_.file("movie.str"), image.bytes_2336() + std::string(100, 'x'));
  // An existing host file not on a CD file system is a plain file, and its
  // absolute path replaces the name.
  set_input(dir_.path() + "/sub/../movie.str");
  std::filesystem::create_directory(dir_.file("sub"));
  open_sector_source();
  EXPECT_TRUE(mode_is(kModeNoCdrom));
  EXPECT_EQ(sector_source.kind, SourceKind::PlainFile);
  EXPECT_STREQ(input_name, (std::filesystem::canonical(dir_.path()) / "movie.str").c_str());
  EXPECT_EQ(current_sector, 0);
  EXPECT_EQ(end_sector, 10);

  set_sector_mode(1);
  std::vector<uint8_t> sector(kSectorBytes);
  read_sectors(9, 1, sector.data());
  EXPECT_EQ(std::string(sector.begin(), sector.end()), sector_of(image, 9));

  // The 2048-byte form is bytes 8 to 2055 of the record.
  set_sector_mode(0);
  std::vector<uint8_t> two(2 * kUserDataBytes);
  read_sectors(3, 2, two.data());
  EXPECT_EQ(std::string(two.begin(), two.begin() + kUserDataBytes), sector_of(image, 3).substr(8, 2048));
  EXPECT_EQ(std::string(two.begin() + kUserDataBytes, two.end()), sector_of(image, 4).substr(8, 2048));

  // The partial record is outside the range and cannot be read.
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        read_sectors(10, 1, sector.data());
      },
      ExitedWithCode(kExitRead), "movie\\.str");
}

TEST_F(SectorSourceTest, BulkReadsStopAtTheEndOfTheRange) {
  IsoImage image(12);
  write_file(dir_.file("a.str"), image.bytes_2336());
  set_input(dir_.file("a.str"));
  mode_flags |= kModeNoCdrom;
  sector_source.bulk_reads = true;
  open_sector_source();
  set_sector_mode(1);

  std::vector<uint8_t> dest(16 * kSectorBytes, 0xAA);
  read_sectors(8, 16, dest.data());  // four sectors, then untouched
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(std::string(dest.begin() + i * kSectorBytes, dest.begin() + (i + 1) * kSectorBytes),
              sector_of(image, 8 + i));
  EXPECT_EQ(dest[4 * kSectorBytes], 0xAA);

  std::fill(dest.begin(), dest.end(), 0xAA);
  read_sectors(12, 16, dest.data());  // starting at the end: nothing
  read_sectors(20, 16, dest.data());  // beyond it: nothing
  EXPECT_EQ(dest[0], 0xAA);

  end_sector = 5;  // a narrowed range
  read_sectors(3, 16, dest.data());
  EXPECT_EQ(std::string(dest.begin() + kSectorBytes, dest.begin() + 2 * kSectorBytes), sector_of(image, 4));
  EXPECT_EQ(dest[2 * kSectorBytes], 0xAA);

  // Only the low 16 bits of the count are used: 0x10002 asks for two.
  std::fill(dest.begin(), dest.end(), 0xAA);
  end_sector = 12;
  read_sectors(0, 0x10002, dest.data());
  EXPECT_EQ(dest[2 * kSectorBytes], 0xAA);
  EXPECT_EQ(std::string(dest.begin(), dest.begin() + kSectorBytes), sector_of(image, 0));

  // The 2048-byte form never takes the bulk path: no clamping there.
  set_sector_mode(0);
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        read_sectors(11, 2, dest.data());
      },
      ExitedWithCode(kExitRead), "a\\.str");
}

TEST_F(SectorSourceTest, RawRecordsReadAsTheirSectorPart) {
  // Longer than one bulk chunk, plus a partial raw record at the end.
  IsoImage image(150);
  write_file(dir_.file("plain.bin"), image.bytes_2336());
  write_file(dir_.file("raw.bin"), image.bytes_raw() + std::string(2000, '\0'));

  std::vector<uint8_t> plain_one;
  std::vector<uint8_t> plain_bulk(150 * kSectorBytes);
  for (const char* name : {"plain.bin", "raw.bin"}) {
    SetUp();
    set_input(dir_.file(name));
    mode_flags |= kModeNoCdrom;
    sector_source.bulk_reads = true;
    open_sector_source();
    EXPECT_EQ(end_sector, 150) << name;
    EXPECT_EQ(sector_source.raw_form, std::string(name) == "raw.bin");

    std::vector<uint8_t> bulk(150 * kSectorBytes);
    set_sector_mode(1);
    read_sectors(0, 150, bulk.data());
    sector_source.bulk_reads = false;
    set_sector_mode(0);
    std::vector<uint8_t> one = read_range(0, 150);
    if (plain_one.empty()) {
      plain_one = one;
      plain_bulk = bulk;
      EXPECT_EQ(std::string(bulk.begin(), bulk.end()), image.bytes_2336());
    } else {
      EXPECT_TRUE(one == plain_one);
      EXPECT_TRUE(bulk == plain_bulk);
    }
  }
}

TEST_F(SectorSourceTest, OneSectorReadsInAnyOrderGiveTheFilesSectors) {
  // Sectors far apart, backwards, at an interleave and back again, in both
  // record forms, up to the last whole record before a partial one.
  constexpr int kSectors = 700;
  IsoImage image(kSectors);
  write_file(dir_.file("plain.bin"), image.bytes_2336() + std::string(100, 'x'));
  write_file(dir_.file("raw.bin"), image.bytes_raw() + std::string(2000, '\0'));
  std::vector<int32_t> order;
  for (int32_t s = kSectors - 1; s >= 0; s -= 37) order.push_back(s);
  for (int32_t first = 3; first < 12; ++first)
    for (int32_t s = first; s < kSectors; s += 8 * first) order.push_back(s);
  for (const char* name : {"plain.bin", "raw.bin"}) {
    SetUp();
    set_input(dir_.file(name));
    mode_flags |= kModeNoCdrom;
    open_sector_source();
    std::vector<uint8_t> sector(kSectorBytes);
    for (const int32_t s : order) {
      set_sector_mode(1);
      read_sectors(s, 1, sector.data());
      ASSERT_EQ(std::string(sector.begin(), sector.end()), sector_of(image, static_cast<size_t>(s)))
          << name << " sector " << s;
      set_sector_mode(0);
      read_sectors(s, 1, sector.data());
      ASSERT_EQ(std::string(sector.begin(), sector.begin() + kUserDataBytes),
                sector_of(image, static_cast<size_t>(s)).substr(8, 2048));
    }
    EXPECT_EXIT(
        {
          send_stdout_to_stderr();
          set_sector_mode(1);
          read_sectors(kSectors, 1, sector.data());
        },
        ExitedWithCode(kExitRead), name);
  }
}

TEST_F(SectorSourceTest, OneSectorReadsFollowTheFileTheyAreGiven) {
  // Two files open at once with different sectors at the same numbers: the
  // blocks read ahead from one never answer for the other.
  IsoImage first(40), second(40);
  for (auto& sector : second.sectors) sector[100] = static_cast<uint8_t>(sector[100] ^ 0xFF);
  write_file(dir_.file("first.bin"), first.bytes_2336());
  write_file(dir_.file("second.bin"), second.bytes_2336());
  FILE* files[2] = {std::fopen(dir_.file("first.bin").c_str(), "rb"), std::fopen(dir_.file("second.bin").c_str(), "rb")};
  const IsoImage* images[2] = {&first, &second};
  ASSERT_TRUE(files[0] != nullptr && files[1] != nullptr);
  sector_source.kind = SourceKind::PlainFile;
  set_sector_mode(kSectorMode2336);
  std::vector<uint8_t> sector(kSectorBytes);
  for (int round = 0; round < 4; ++round) {
    sector_source.file = files[round % 2];
    read_sectors(5, 1, sector.data());
    EXPECT_EQ(std::string(sector.begin(), sector.end()), sector_of(*images[round % 2], 5)) << "round " << round;
  }
  sector_source.file = nullptr;
  for (FILE* f : files) std::fclose(f);
}

class ImageLookupTest : public SectorSourceTest {
 protected:
  void open_image_form(bool raw, const std::string& name) {
    const std::string path = dir_.file(raw ? "disc.raw" : "disc.img");
    if (!file_exists(path)) write_file(path, raw ? image_.bytes_raw() : image_.bytes_2336());
    SetUp();
    set_image(path);
    set_input(name);
    open_sector_source();
  }
  IsoImage image_ = standard_image();
};

TEST_F(ImageLookupTest, FindsTheFileWhateverDriveSeparatorOrCase) {
  for (const char* name :
       {"\\MOVIE\\OPEN.STR", "E:\\MOVIE\\OPEN.STR", "movie\\open.str", "/movie/open.str",
        "E:movie/Open.Str", "MOVIE/OPEN.STR"}) {
    open_image_form(false, name);
    EXPECT_EQ(sector_source.kind, SourceKind::DiscImage) << name;
    EXPECT_EQ(current_sector, kOpenStrSector) << name;
    EXPECT_EQ(end_sector, kOpenStrEnd) << name;
  }
  // The name is upper-cased in place past the drive and separator.
  EXPECT_STREQ(input_name, "MOVIE/OPEN.STR");
  open_image_form(false, "e:\\movie\\deep/x.xa");
  EXPECT_STREQ(input_name, "e:\\MOVIE\\DEEP/X.XA");
  EXPECT_EQ(current_sector, kDeepXaSector);
  EXPECT_EQ(end_sector, kDeepXaSector + 1);
  // The lookup leaves the 2048-byte form selected.
  EXPECT_EQ(sector_source.sector_mode, 0);
}

TEST_F(ImageLookupTest, RawImageGivesTheSameRangesAndSectors) {
  for (const char* name : {"README.TXT", "MOVIE\\OPEN.STR", "MOVIE\\DEEP\\X.XA"}) {
    open_image_form(false, name);
    const int32_t first = current_sector;
    const int32_t end = end_sector;
    set_sector_mode(1);
    const std::vector<uint8_t> plain = read_range(0, kStandardSectors);
    open_image_form(true, name);
    EXPECT_EQ(current_sector, first) << name;
    EXPECT_EQ(end_sector, end) << name;
    set_sector_mode(1);
    EXPECT_TRUE(read_range(0, kStandardSectors) == plain) << name;
  }
}

TEST_F(ImageLookupTest, DiscWideModesTakeTheWholeImage) {
  mode_flags |= kModeDiscAll;
  write_file(dir_.file("disc.raw"), image_.bytes_raw() + "partial");
  set_image(dir_.file("disc.raw"));
  mode_flags |= kModeDiscAll;
  set_input("anything");
  open_sector_source();
  EXPECT_EQ(current_sector, 0);
  EXPECT_EQ(end_sector, static_cast<int32_t>(kStandardSectors));
  EXPECT_STREQ(input_name, "anything");

  // The catalogue's own opening of the image.
  SetUp();
  set_image(dir_.file("disc.raw"));
  open_whole_image();
  EXPECT_EQ(sector_source.kind, SourceKind::DiscImage);
  EXPECT_TRUE(sector_source.raw_form);
  EXPECT_EQ(end_sector, static_cast<int32_t>(kStandardSectors));
}

TEST_F(ImageLookupTest, MissingFilesEndWithTheUpperCaseName) {
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        open_image_form(false, "e:\\movie\\nope.str");
      },
      ExitedWithCode(kExitNotFound), "e:\\\\MOVIE\\\\NOPE\\.STR");
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        open_image_form(true, "readme.txt\\x");
      },
      ExitedWithCode(kExitNotFound), "README\\.TXT\\\\X");
}

TEST_F(SectorSourceTest, UnreadableInputsEndWithTheirNames) {
  // An image that cannot be opened: -3 with the image's name.
  set_input("MOVIE.STR");
  set_image(dir_.file("missing.img"));
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        open_sector_source();
      },
      ExitedWithCode(kExitOpen), "missing\\.img");
  // A directory in place of the image.
  set_image(dir_.path());
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        open_sector_source();
      },
      ExitedWithCode(kExitOpen), "korvane-test");
  // A missing plain file.
  SetUp();
  mode_flags |= kModeNoCdrom;
  set_input(dir_.file("gone.str"));
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        open_sector_source();
      },
      ExitedWithCode(kExitOpen), "gone\\.str");

  // An image too short to hold its volume descriptor: -4 with the input name.
  write_file(dir_.file("short.img"), IsoImage(10).bytes_2336());
  SetUp();
  set_image(dir_.file("short.img"));
  set_input("\\movie\\open.str");
  EXPECT_EXIT(
      {
        send_stdout_to_stderr();
        open_sector_source();
      },
      ExitedWithCode(kExitRead), "MOVIE\\\\OPEN\\.STR");
}

TEST_F(SectorSourceTest, DamagedDirectoriesEndAsFailedReads) {
  // A truncated image: the root directory lies past its end.
  std::string whole = standard_image().bytes_2336();
  write_file(dir_.file("cut.img"), whole.substr(0, 18 * kSectorBytes + 100));
  // A sub-directory with a huge data length.
  IsoImage huge = standard_image();
  put_record(huge.user_data(18), kStandardRootEnd, "HUGE", 19, 0xFFFFF800u, true);
  write_file(dir_.file("huge.img"), huge.bytes_2336());
  // A directory that contains itself.
  IsoImage loop = standard_image();
  put_record(loop.user_data(19), 68, "DEEP", 19, kBlock, true);
  write_file(dir_.file("loop.img"), loop.bytes_2336());
  // A file whose extent cannot be a sector number.
  IsoImage far = standard_image();
  put_record(far.user_data(18), kStandardRootEnd, "FAR.DAT;1", 0x7FFFFFFF, 4096, false);
  write_file(dir_.file("far.img"), far.bytes_2336());

  struct Case {
    const char* image;
    const char* name;
    const char* shown;  // the detail: the input name, upper-cased
  };
  const Case cases[] = {
      {"cut.img", "movie/open.str", "MOVIE/OPEN\\.STR"},
      {"huge.img", "huge/x", "HUGE/X"},
      {"loop.img", "movie/deep/deep/deep/open.str", "MOVIE/DEEP/DEEP/DEEP/OPEN\\.STR"},
      {"far.img", "far.dat", "FAR\\.DAT"},
  };
  for (const auto& [image, name, shown] : cases) {
    SetUp();
    set_image(dir_.file(image));
    set_input(name);
    EXPECT_EXIT(
        {
          send_stdout_to_stderr();
          open_sector_source();
        },
        ExitedWithCode(kExitRead), shown)
        << image;
  }
}

}  // namespace
