// Sector sources over disc images from the synthesiser: files found by name
// in the tree it writes, in both record forms, and korvane's own start-up
// reporting missing files and unreadable images.
#include <gtest/gtest.h>

#include "io/sector_source.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "tests/disc/source_fixture.hpp"
#include "tests/support/process.hpp"

#ifdef MKDISC_EXE
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

// Form 2 sectors whose bytes name their file and position.
mkdisc::IsoFile stream_file(const std::string& path, int count, int tag) {
  mkdisc::IsoFile file;
  file.path = path;
  for (int n = 0; n < count; ++n) {
    mkdisc::Sector sector = mkdisc::make_sector(1, tag, mkdisc::kVideoSubmode, 0);
    for (int i = kSubheaderBytes; i < kSectorBytes; ++i)
      sector[i] = static_cast<uint8_t>(tag * 31 + n * 7 + i);
    file.sectors.push_back(sector);
  }
  return file;
}

class SynthesisedDiscTest : public SectorSourceTest {
 protected:
  void SetUp() override {
    SectorSourceTest::SetUp();
    std::vector<uint8_t> text(5000);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>('a' + i % 26);
    image_ = mkdisc::build_iso_image(
        "KORVANE_TEST", {mkdisc::plain_file("SYSTEM.CNF", text), stream_file("MOVIE/OPEN.STR", 12, 2),
                         stream_file("MOVIE/END.STR", 5, 3), stream_file("XA/BGM/TRACK01.XA", 9, 4)});
    mkdisc::write_sector_file(dir_.file("disc.img"), image_.sectors, mkdisc::SectorForm::form2336);
    mkdisc::write_sector_file(dir_.file("disc.bin"), image_.sectors, mkdisc::SectorForm::raw2352);
  }

  void open(const char* image, const char* name) {
    SectorSourceTest::SetUp();
    set_image(dir_.file(image));
    set_input(name);
    open_sector_source();
  }

  mkdisc::IsoImage image_;
};

TEST_F(SynthesisedDiscTest, FindsEveryFileInBothForms) {
  const std::pair<const char*, const char*> names[] = {
      {"SYSTEM.CNF", "system.cnf"},
      {"MOVIE/OPEN.STR", "\\movie\\open.str"},
      {"MOVIE/END.STR", "D:\\MOVIE\\END.STR"},
      {"XA/BGM/TRACK01.XA", "/xa/bgm/Track01.xa"},
  };
  for (const char* form : {"disc.img", "disc.bin"}) {
    for (const auto& [path, name] : names) {
      const mkdisc::Extent& extent = image_.files.at(path);
      open(form, name);
      EXPECT_EQ(current_sector, static_cast<int32_t>(extent.first_sector)) << form << " " << name;
      EXPECT_EQ(end_sector, static_cast<int32_t>(extent.first_sector + (extent.data_length + 2047) / 2048))
          << form << " " << name;
      // Every sector of the extent as the synthesiser wrote it.
      set_sector_mode(1);
      const std::vector<uint8_t> read = read_range(current_sector, end_sector);
      for (int32_t n = current_sector; n < end_sector; ++n) {
        const auto& expected = image_.sectors[n];
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(),
                               read.begin() + (n - current_sector) * kSectorBytes))
            << form << " sector " << n;
      }
    }
  }
}

TEST_F(SynthesisedDiscTest, WholeImageReadsAlikeInBothForms) {
  const int32_t count = static_cast<int32_t>(image_.sectors.size());
  std::vector<uint8_t> forms[2];
  int i = 0;
  for (const char* form : {"disc.img", "disc.bin"}) {
    SectorSourceTest::SetUp();
    set_image(dir_.file(form));
    mode_flags |= kModeDiscAll;
    sector_source.bulk_reads = true;
    open_sector_source();
    ASSERT_EQ(end_sector, count) << form;
    set_sector_mode(1);
    forms[i].assign(static_cast<size_t>(count) * kSectorBytes, 0);
    read_sectors(0, static_cast<uint32_t>(count), forms[i].data());
    ++i;
  }
  EXPECT_TRUE(forms[0] == forms[1]);
}

TEST_F(SynthesisedDiscTest, KorvaneReportsMissingFilesAndBadImages) {
  // A file not on the disc: -8 with the upper-case name.
  ProcessOptions options;
  options.working_directory = dir_.path();
  options.env = {{"KORVANE_PATH", dir_.path()}};
  ProcessResult run = run_process(
      {KORVANE_EXE, "-image:" + dir_.file("disc.bin"), "\\movie\\nope.str", "out.avi"},
      options);
  EXPECT_EQ(run.status, exit_status_of(kErrNotFound)) << run.out;
  EXPECT_NE(run.out.find("\\MOVIE\\NOPE.STR"), std::string::npos) << run.out;

  // An image that does not exist: -3 with its name.
  run = run_process({KORVANE_EXE, "-image:" + dir_.file("none.img"), "\\movie\\open.str",
                     "out.avi"},
                    options);
  EXPECT_EQ(run.status, exit_status_of(kErrOpen)) << run.out;
  EXPECT_NE(run.out.find(dir_.file("none.img")), std::string::npos) << run.out;

  // An image cut before its directories: -4 with the input name.
  std::string bytes = read_file(dir_.file("disc.img"));
  write_file(dir_.file("cut.img"), bytes.substr(0, 17 * kSectorBytes));
  run = run_process({KORVANE_EXE, "-image:" + dir_.file("cut.img"), "\\movie\\open.str",
                     "out.avi"},
                    options);
  EXPECT_EQ(run.status, exit_status_of(kErrRead)) << run.out;
  EXPECT_NE(run.out.find("\\MOVIE\\OPEN.STR"), std::string::npos) << run.out;
}

}  // namespace
#endif  // MKDISC_EXE
