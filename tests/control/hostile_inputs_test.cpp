// korvane given what a careless or hostile user gives it: an output that is
// the input (by name, by link, or the settings files), FIFOs where files
// belong, movie headers claiming no picture or a giant one, and inputs that
// hold nothing of the chosen file and channel. Each ends with its error and
// leaves the files it was given as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

constexpr int kHangGuardSeconds = 60;  // a run that waits on a FIFO would never end
constexpr size_t kStrWidthOffset = 8 + 16;  // subheader, then the STR header's width
constexpr size_t kStrHeightOffset = 8 + 18;

class HostileRun : public ::testing::Test {
 protected:
  ProcessResult korvane(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {KORVANE_EXE, "-path:" + dir_.path()};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.unset_env = {"KORVANE_PATH"};
    options.timeout_seconds = kHangGuardSeconds;
    return run_process(argv, options);
  }

  // A movie with sound, as a sector file in the folder.
  mkdisc::SectorList write_movie(const std::string& name, int file = 1, int channel = 1) {
    mkdisc::MovieSpec movie_spec;
    movie_spec.width = 32;
    movie_spec.height = 32;
    movie_spec.frames = 3;
    movie_spec.sectors_per_frame = 10;
    movie_spec.audio = true;
    movie_spec.file_number = file;
    movie_spec.channel_number = channel;
    const mkdisc::Movie movie = mkdisc::build_movie(movie_spec);
    mkdisc::write_sector_file(dir_.file(name), movie.sectors, mkdisc::SectorForm::form2336);
    return movie.sectors;
  }

  std::string path(const std::string& name) const { return dir_.file(name); }

  TempDir dir_;
};

constexpr char kOpenFailed[] = "ファイルが開けません.";
constexpr char kConversionFailed[] = "変換に失敗しました.";
constexpr char kSettingsInvalid[] = "初期化ファイルが異常です.";

// An error message as korvane prints it, with its detail (already CP932).
std::string message(const char* table_message, const std::string& detail) {
  std::string text = "\n";
  text.append(table_message).append("\n");
  return utf8_to_cp932(text.c_str()) + detail;
}

TEST_F(HostileRun, AnOutputThatIsTheInputIsRefusedBeforeItIsTouched) {
  write_movie("m.str");
  const std::string original = read_file(path("m.str"));
  std::filesystem::create_symlink("m.str", path("soft.avi"));
  std::filesystem::create_hard_link(path("m.str"), path("hard.wav"));
  std::filesystem::create_hard_link(path("m.str"), path("report.txt"));
  struct Case {
    std::vector<std::string> args;
    std::string refused;  // the output named in the message
  };
  const std::vector<Case> cases = {
      {{"-no-cdrom", "m.str", "m.str"}, "m.str"},
      {{"-no-cdrom", "-audio", "m.str", "m.str"}, "m.str"},
      {{"-no-cdrom", "m.str", "soft.avi"}, "soft.avi"},
      {{"-no-cdrom", "-audio", "m.str", "hard.wav"}, "hard.wav"},
      {{"-no-cdrom", "-all", "m.str", "report"}, "report.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ProcessResult r = korvane(c.args);
    EXPECT_EQ(r.status, exit_status_of(-3)) << r.out;
    EXPECT_NE(r.out.find(message(kOpenFailed, c.refused + "\n")), std::string::npos) << r.out;
    EXPECT_EQ(read_file(path("m.str")), original);
  }
  // The settings files are outputs of nobody's but korvane's own.
  ASSERT_EQ(korvane({"-no-cdrom", "m.str", "first.avi"}).status, 0);
  const std::string ini = read_file(path("KORVANE.INI"));
  EXPECT_EQ(korvane({"-no-cdrom", "m.str", "KORVANE.INI"}).status, exit_status_of(-3));
  EXPECT_EQ(read_file(path("KORVANE.INI")), ini);
  write_file(path("FILE.INF"), "catalogue\r\n");
  EXPECT_EQ(korvane({"-no-cdrom", "-audio", "m.str", "FILE.INF"}).status, exit_status_of(-3));
  EXPECT_EQ(read_file(path("FILE.INF")), "catalogue\r\n");
}

TEST_F(HostileRun, TheScanReportOfADiscIsNeverTheDiscImage) {
  const mkdisc::SectorList movie = write_movie("m.str");
  const auto image = mkdisc::build_iso_image("HOSTILE", {{"M.STR", movie, 0}});
  mkdisc::write_sector_file(path("d.txt"), image.sectors, mkdisc::SectorForm::form2336);
  const std::string original = read_file(path("d.txt"));
  const ProcessResult r = korvane({"-image:d.txt", "-disc-all", "d"});
  EXPECT_EQ(r.status, exit_status_of(-3)) << r.out;
  EXPECT_NE(r.out.find(message(kOpenFailed, "d.txt\n")), std::string::npos) << r.out;
  EXPECT_EQ(read_file(path("d.txt")), original);
  // A catalogue that is the image is refused too.
  std::filesystem::create_symlink("d.txt", path("FILE.INF"));
  EXPECT_EQ(korvane({"-image:d.txt", "-analyze", "M.STR"}).status, exit_status_of(-3));
  EXPECT_EQ(read_file(path("d.txt")), original);
}

TEST_F(HostileRun, FifosAreRefusedInsteadOfWaitedOn) {
  write_movie("m.str");
  ASSERT_EQ(mkfifo(path("f").c_str(), 0600), 0);
  ProcessResult r = korvane({"-no-cdrom", "f", "x.avi"});
  EXPECT_EQ(r.status, exit_status_of(-3)) << r.out;
  r = korvane({"-image:f", "MOVIE/M.STR", "x.avi"});
  EXPECT_EQ(r.status, exit_status_of(-3)) << r.out;
  EXPECT_NE(r.out.find(message(kOpenFailed, "f\n")), std::string::npos) << r.out;
  r = korvane({"-no-cdrom", "m.str", "f"});
  EXPECT_EQ(r.status, exit_status_of(-3)) << r.out;
  r = korvane({"-no-cdrom", "-audio", "m.str", "f"});
  EXPECT_EQ(r.status, exit_status_of(-3)) << r.out;
  EXPECT_FALSE(file_exists(path("x.avi")));

  std::filesystem::remove(path("KORVANE.INI"));
  ASSERT_EQ(mkfifo(path("KORVANE.INI").c_str(), 0600), 0);
  r = korvane({"-no-cdrom", "m.str", "y.avi"});
  EXPECT_EQ(r.status, exit_status_of(-12)) << r.out;
  EXPECT_EQ(r.out, message(kSettingsInvalid, utf8_to_cp932("korvane.iniが異常です.\n") + "\n"));
}

// Every video sector of the movie claims the given picture size.
void claim_size(mkdisc::SectorList& sectors, uint16_t width, uint16_t height) {
  for (auto& s : sectors) {
    if (!is_video_sector(s.data())) continue;
    put_le16(s.data() + kStrWidthOffset, width);
    put_le16(s.data() + kStrHeightOffset, height);
  }
}

TEST_F(HostileRun, PicturesOfNoPixelsOrBeyond4096EndWithTheHeaderError) {
  const mkdisc::SectorList movie = write_movie("m.str");
  const std::string expected =
      message(kConversionFailed, utf8_to_cp932("ヘッダが異常です.\n") + "\n");
  for (const auto& [width, height] : std::vector<std::pair<uint16_t, uint16_t>>{
           {65535, 65535}, {0, 0}, {32, 0}, {4097, 16}, {16, 4100}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    mkdisc::SectorList damaged = movie;
    claim_size(damaged, width, height);
    mkdisc::write_sector_file(path("bad.str"), damaged, mkdisc::SectorForm::form2336);
    for (const char* mode : {"-avi", "-bmp"}) {
      const ProcessResult r = korvane({"-no-cdrom", mode, "bad.str", "bad"});
      EXPECT_EQ(r.status, exit_status_of(-9)) << mode << r.out;
      EXPECT_EQ(r.out.substr(r.out.rfind('\r') + 1), expected) << mode;
    }
  }
  // The largest picture is no header fault (its data is another matter).
  mkdisc::SectorList largest = movie;
  claim_size(largest, 4096, 16);
  mkdisc::write_sector_file(path("big.str"), largest, mkdisc::SectorForm::form2336);
  EXPECT_EQ(korvane({"-no-cdrom", "big.str", "big.avi"}).out.find(utf8_to_cp932("ヘッダが異常です.")),
            std::string::npos);
}

TEST_F(HostileRun, NothingConvertedIsAnErrorThatNamesWhatTheInputHolds) {
  write_file(path("empty.str"), "");
  for (const char* mode : {"-avi", "-bmp"}) {
    const ProcessResult r = korvane({"-no-cdrom", mode, "empty.str", "e"});
    EXPECT_EQ(r.status, exit_status_of(-9)) << mode;
    EXPECT_NE(r.out.find(message(kConversionFailed, utf8_to_cp932("-file:1 -channel:1 のムービーが見つかりません.\n"
                                                  "入力にムービーはありません.\n"))),
              std::string::npos)
        << r.out;
  }
  // A sparse file of zeros: sectors, but no stream in them.
  {
    FILE* sparse = std::fopen(path("zeros.str").c_str(), "wb");
    ASSERT_NE(sparse, nullptr);
    ASSERT_EQ(ftruncate(fileno(sparse), 64 << 20), 0);
    std::fclose(sparse);
  }
  ProcessResult r = korvane({"-no-cdrom", "-audio", "zeros.str", "z.wav"});
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_NE(r.out.find(message(kConversionFailed, utf8_to_cp932("-file:1 -channel:1 のXAオーディオが見つかりません.\n"
                                                "入力にXAオーディオはありません.\n"))),
            std::string::npos)
      << r.out;

  // The encoder's default stream, file 0 channel 0, asked for as 1 and 1,
  // and another movie on file 2 channel 7: the message says what to type.
  mkdisc::SectorList both = write_movie("a.str", 0, 0);
  mkdisc::append(both, write_movie("b.str", 2, 7));
  mkdisc::write_sector_file(path("two.str"), both, mkdisc::SectorForm::form2336);
  r = korvane({"-no-cdrom", "two.str", "two.avi"});
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_NE(r.out.find(message(kConversionFailed, utf8_to_cp932("-file:1 -channel:1 のムービーが見つかりません.\n"
                                                "入力にあるムービー:\n") +
                                      "  -file:0 -channel:0\n  -file:2 -channel:7\n")),
            std::string::npos)
      << r.out;
  r = korvane({"-no-cdrom", "-audio", "-file:256", "two.str", "two.wav"});
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_NE(r.out.find(utf8_to_cp932("入力にあるXAオーディオ:\n") +
                       "  -file:0 -channel:0\n  -file:2 -channel:7\n"),
            std::string::npos)
      << r.out;
  // What the message names converts.
  EXPECT_EQ(korvane({"-no-cdrom", "-file:0", "-channel:0", "two.str", "zero.avi"}).status, 0);

  // The scans are not single conversions: an input without streams is no error there.
  EXPECT_EQ(korvane({"-no-cdrom", "-all", "empty.str", "scan"}).status, 0);
}

}  // namespace
