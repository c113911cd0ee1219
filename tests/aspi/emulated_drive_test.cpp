// korvane against the emulated CD drive: every mode gives what it gives from
// the same disc image, the copies are the disc's sectors, and the faults the
// drive can play end the way they must.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifndef MKDISC_EXE
#define MKDISC_EXE ""
#endif

namespace {

namespace fs = std::filesystem;
using Env = std::vector<std::pair<std::string, std::string>>;

constexpr int kSector = 2336;
const char kMovie[] = "MOVIE/A.STR";

const char kDescription[] =
    "output image\n"
    "form %FORM%\n"
    "volume EMUTEST\n"
    "file MOVIE/A.STR\n"
    "movie width=64 height=48 frames=12 version=2 scale=8 pattern=sample colour=korvane "
    "sectors-per-frame=10 audio=37800 stereo=yes sound=sweep\n"
    "file SOUND/B.XA\n"
    "audio rate=37800 stereo=no sectors=24 sound=melody interleave=4\n"
    "file README.TXT\n"
    "data text=emulated_drive_test\n";

struct Disc {
  std::string image;
  int32_t movie_first = 0;
  int32_t movie_count = 0;
};

std::string cp932(const std::string& utf8) { return utf8_to_cp932(utf8); }

// Error output as korvane prints it.
std::string failure(const std::string& message, const std::string& detail) {
  return cp932("\n" + message + "\n" + detail + "\n");
}
const char kAspiMessage[] = "ASPI関係でエラーが発生しました.";
const char kUnknownMessage[] = "よくわかんないエラー.";

class EmulatedDrive : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::string(MKDISC_EXE).empty()) return;
    dir_ = new TempDir;
    disc_2336_ = build("2336");
    disc_2352_ = build("2352");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (dir_ == nullptr || disc_2336_.image.empty()) GTEST_SKIP() << "mkdisc is not built";
  }

  static Disc build(const std::string& form) {
    std::string text = kDescription;
    text.replace(text.find("%FORM%"), 6, form);
    const std::string desc = dir_->file("disc" + form + ".desc");
    write_file(desc, text);
    Disc disc;
    disc.image = dir_->file("disc" + form + ".img");
    const ProcessResult r = run_process({MKDISC_EXE, "build", desc, disc.image});
    if (r.status != 0) {
      ADD_FAILURE() << r.out << r.err;
      return Disc{};
    }
    std::istringstream lines(r.out);
    std::string word, path;
    while (lines >> word) {
      if (word != "file") continue;
      lines >> path;
      if (path != kMovie) continue;
      std::string key;
      lines >> key >> disc.movie_first >> key >> disc.movie_count;
    }
    return disc;
  }

  // The disc's sectors first..end-1 in the 2336-byte form.
  static std::string sectors_of(const std::string& image, int32_t first, int32_t end) {
    const std::string bytes = read_file(image);
    const bool raw = bytes.size() >= 12 && bytes.compare(0, 12, std::string("\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0", 12)) == 0;
    const size_t record = raw ? 2352 : kSector;
    const size_t skip = raw ? 16 : 0;
    std::string out;
    for (int32_t s = first; s < end; ++s) out += bytes.substr(s * record + skip, kSector);
    return out;
  }
  static int32_t disc_sectors(const std::string& image) {
    const std::string bytes = read_file(image);
    const bool raw = bytes.size() >= 1 && bytes[0] == '\0' && bytes[1] == '\xFF';
    return static_cast<int32_t>(bytes.size() / (raw ? 2352 : kSector));
  }

  struct Run {
    ProcessResult result;
    std::map<std::string, std::string> files;  // every file the run left, by relative path
    std::string log;                           // the emulated drive's request log
  };

  // Runs korvane in a fresh directory. cd: through the emulated drive
  // holding the image; otherwise with -image:.
  Run run(const std::vector<std::string>& args, bool cd, const Env& extra = {},
          const std::string& image = "", const std::string& ini = "",
          const std::vector<std::string>& before = {}) {
    const std::string disc = image.empty() ? disc_2336_.image : image;
    TempDir* work = new TempDir;
    runs_.emplace_back(work);
    ProcessOptions options;
    options.working_directory = work->path();
    options.unset_env = {"KORVANE_PATH"};
    options.timeout_seconds = 120;
    const std::string log = work->path() + "/../" + fs::path(work->path()).filename().string() + ".log";
    std::vector<std::string> argv = {KORVANE_EXE};
    if (cd) {
      options.env = {{"KORVANE_ASPI", EMULATED_ASPI_MODULE}, {"KORVANE_EMU_IMAGE", disc},
                     {"KORVANE_EMU_LOG", log}};
    } else {
      argv.push_back("-image:" + disc);
    }
    for (const auto& e : extra) options.env.push_back(e);
    if (!ini.empty()) write_file(work->file("KORVANE.INI"), ini);
    if (!before.empty()) {
      std::vector<std::string> first = argv;
      first.insert(first.end(), before.begin(), before.end());
      const ProcessResult r = run_process(first, options);
      EXPECT_EQ(r.status, 0) << r.out;
    }
    argv.insert(argv.end(), args.begin(), args.end());
    Run out;
    out.result = run_process(argv, options);
    for (const auto& entry : fs::recursive_directory_iterator(work->path()))
      if (entry.is_regular_file())
        out.files[fs::relative(entry.path(), work->path()).string()] = read_file(entry.path());
    if (file_exists(log)) {
      out.log = read_file(log);
      fs::remove(log);
    }
    return out;
  }

  static size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  static TempDir* dir_;
  static Disc disc_2336_;
  static Disc disc_2352_;
  std::vector<std::unique_ptr<TempDir>> runs_;
};

TempDir* EmulatedDrive::dir_ = nullptr;
Disc EmulatedDrive::disc_2336_;
Disc EmulatedDrive::disc_2352_;

void expect_same_files(const std::map<std::string, std::string>& a,
                       const std::map<std::string, std::string>& b, const std::string& mode) {
  ASSERT_EQ(a.size(), b.size()) << mode;
  for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
    EXPECT_EQ(ia->first, ib->first) << mode;
    EXPECT_TRUE(ia->second == ib->second) << mode << ": " << ia->first << " differs";
  }
}

TEST_F(EmulatedDrive, EveryModeGivesWhatTheImageGives) {
  struct Mode {
    std::vector<std::string> args;
    std::vector<std::string> before;  // a run made first in the same directory
    bool same_console = true;
  };
  const std::vector<Mode> modes = {
      {{"-avi", kMovie, "out.avi"}, {}, true},
      {{"-bmp", kMovie, "f"}, {}, true},
      {{"-audio", kMovie, "out.wav"}, {}, true},
      {{"-audio", "SOUND/B.XA", "b.wav"}, {}, true},
      {{"-all", kMovie, "body"}, {}, true},
      {{"-all", "-detail", "SOUND/B.XA", "x"}, {}, true},
      {{"-analyze", kMovie}, {}, true},
      {{"-use-inf", "-avi", kMovie, "u.avi"}, {"-analyze", kMovie}, true},
      // The whole disc from the CD is the whole image: the same range.
      {{"-disc-all", "disc"}, {}, true},
      {{"-disc-analyze", "DISC"}, {}, true},
  };
  for (const Mode& m : modes) {
    const std::string name = m.args[0] + " " + m.args[1];
    const Run image = run(m.args, false, {}, "", "", m.before);
    const Run cd = run(m.args, true, {}, "", "", m.before);
    EXPECT_EQ(image.result.status, 0) << name << image.result.out;
    EXPECT_EQ(cd.result.status, 0) << name << cd.result.out;
    EXPECT_GT(image.files.size(), 1u) << name << " wrote nothing";
    expect_same_files(image.files, cd.files, name);
    if (m.same_console) {
      EXPECT_EQ(image.result.out, cd.result.out) << name;
    }
    EXPECT_EQ(count(cd.log, "REJECTED"), 0u) << cd.log;
  }
}

TEST_F(EmulatedDrive, RawImagesAreServedLikeTheirSectors) {
  const Run from_raw = run({"-avi", kMovie, "out.avi"}, true, {}, disc_2352_.image);
  const Run from_2336 = run({"-avi", kMovie, "out.avi"}, true);
  EXPECT_EQ(from_raw.result.status, 0) << from_raw.result.out;
  expect_same_files(from_raw.files, from_2336.files, "raw");
}

TEST_F(EmulatedDrive, FileSaveCopiesTheExtentThroughDisagreeingReads) {
  const Disc& d = disc_2336_;
  const std::string expected = sectors_of(d.image, d.movie_first, d.movie_first + d.movie_count);
  // A 16 KB buffer gives blocks of 7 sectors; the file is not a multiple of 7.
  ASSERT_NE(d.movie_count % 7, 0);
  const Run clean = run({"-file-save", kMovie, "copy.bin"}, true, {{"KORVANE_EMU_BUFFER_KB", "16"}});
  ASSERT_EQ(clean.result.status, 0) << clean.result.out;
  EXPECT_TRUE(clean.files.at("copy.bin") == expected);
  EXPECT_EQ(count(clean.result.out, cp932("隠しオプションです")), 0u);
  EXPECT_NE(clean.result.out.find(cp932("最大読み込みセクタ数を調べています.\n")), std::string::npos);
  EXPECT_NE(clean.result.out.find("16/16\r\n"), std::string::npos) << clean.result.out;

  char last[64];
  std::snprintf(last, sizeof last, "block %08x/%08x\n", d.movie_first + d.movie_count,
                d.movie_first + d.movie_count);
  EXPECT_NE(clean.result.out.find(last), std::string::npos) << clean.result.out;

  const Run flaky = run({"-file-save", kMovie, "copy.bin"}, true,
                        {{"KORVANE_EMU_BUFFER_KB", "16"}, {"KORVANE_EMU_DIFFER", "7"}});
  ASSERT_EQ(flaky.result.status, 0) << flaky.result.out;
  EXPECT_TRUE(flaky.files.at("copy.bin") == expected);
  EXPECT_EQ(flaky.result.out, clean.result.out);

  // Eight disagreeing pairs of the first block end the copy.
  const Run broken = run({"-file-save", kMovie, "copy.bin"}, true,
                         {{"KORVANE_EMU_BUFFER_KB", "16"}, {"KORVANE_EMU_DIFFER", "8"}});
  EXPECT_EQ(broken.result.status, exit_status_of(-1));
  EXPECT_TRUE(broken.result.out.ends_with(failure(kUnknownMessage, "データが全く一致しません.\n")))
      << broken.result.out;
  EXPECT_EQ(broken.files.at("copy.bin"), "");
}

TEST_F(EmulatedDrive, ProbeFindsTheLargestTransferAndTheCopyUsesIt) {
  for (const char* refusal : {"e6", "error"}) {
    const Run r = run({"-file-save", kMovie, "copy.bin"}, true,
                      {{"KORVANE_EMU_BUFFER_KB", "64"}, {"KORVANE_EMU_MAX_TRANSFER", "5"},
                       {"KORVANE_EMU_TOO_LARGE", refusal}});
    ASSERT_EQ(r.result.status, 0) << r.result.out;
    EXPECT_NE(r.result.out.find("6/64\r\n"), std::string::npos) << "stops after the first refusal";
    EXPECT_EQ(r.result.out.find("7/64"), std::string::npos);
    // Probe reads at sector 0 with a REQUEST SENSE after each, then blocks of 5.
    EXPECT_EQ(count(r.log, "cdb=be0000000000000006580000"), 1u);
    EXPECT_EQ(count(r.log, "cdb=0300000012"), 6u + 1u);  // + the drive scan's
    EXPECT_GT(count(r.log, "000005580000 len=11680 status=01"), 2u);
    EXPECT_TRUE(r.files.at("copy.bin") ==
                sectors_of(disc_2336_.image, disc_2336_.movie_first,
                           disc_2336_.movie_first + disc_2336_.movie_count));
  }
}

TEST_F(EmulatedDrive, DiscSaveWritesTheDiscAfterItsThreeLines) {
  const Run r = run({"-disc-save", "disc.img"}, true, {{"KORVANE_EMU_BUFFER_KB", "32"}});
  ASSERT_EQ(r.result.status, 0) << r.result.out;
  const std::string lines = cp932(
      "隠しオプションです. CD-DAがある場合は途中で止まるかもしれません.\n"
      "コマンドラインに -image:ﾌｧｲﾙ名 を追加すれば\n"
      "ディスクイメージから読み込みます.\n"
      "最大読み込みセクタ数を調べています.\n");
  EXPECT_TRUE(r.result.out.starts_with(lines)) << r.result.out;
  // The range runs up to the lead-out: the copy is the whole disc, its last
  // sector (the end of the last file) included.
  const int32_t sectors = disc_sectors(disc_2336_.image);
  EXPECT_TRUE(r.files.at("disc.img") == sectors_of(disc_2336_.image, 0, sectors));
  EXPECT_TRUE(r.files.at("disc.img") == read_file(disc_2336_.image));

  // The copy reads as an image like the disc it came from.
  const Run from_copy = run({"-avi", kMovie, "out.avi"}, false, {}, runs_.back()->file("disc.img"));
  const Run from_cd = run({"-avi", kMovie, "out.avi"}, true);
  expect_same_files(from_copy.files, from_cd.files, "copy");
}

TEST_F(EmulatedDrive, CopyNeedsADriveThatDeliversSectors) {
  const std::string no_access = failure(kUnknownMessage, "CDアクセスができません.\n");
  // From an image there is no drive to copy with.
  const Run image = run({"-file-save", kMovie, "copy.bin"}, false);
  EXPECT_EQ(image.result.status, exit_status_of(-1));
  EXPECT_TRUE(image.result.out.ends_with(no_access)) << image.result.out;
  // A drive whose probe delivers nothing.
  const Run none = run({"-file-save", kMovie, "copy.bin"}, true, {{"KORVANE_EMU_BUFFER_KB", "0"}});
  EXPECT_EQ(none.result.status, exit_status_of(-1));
  EXPECT_TRUE(none.result.out.ends_with(no_access)) << none.result.out;
}

TEST_F(EmulatedDrive, CheckDeliversOnlySectorsThatReadTheSameTwice) {
  const Run plain = run({"-avi", kMovie, "out.avi"}, true);
  const Run checked = run({"-check", "-avi", kMovie, "out.avi"}, true);
  ASSERT_EQ(checked.result.status, 0);
  expect_same_files(plain.files, checked.files, "-check");
  EXPECT_EQ(count(checked.log, "cdb=be"), 2 * count(plain.log, "cdb=be"));

  // Seven disagreeing pairs on one sector of the movie cost seven more pairs.
  const std::string sector = std::to_string(disc_2336_.movie_first + 3);
  const Run flaky = run({"-check", "-avi", kMovie, "out.avi"}, true,
                        {{"KORVANE_EMU_DIFFER", "7"}, {"KORVANE_EMU_DIFFER_LBA", sector}});
  ASSERT_EQ(flaky.result.status, 0) << flaky.result.out;
  expect_same_files(plain.files, flaky.files, "-check with bad reads");
  EXPECT_EQ(count(flaky.log, "cdb=be"), count(checked.log, "cdb=be") + 14);

  const Run never = run({"-check", "-avi", kMovie, "out.avi"}, true, {{"KORVANE_EMU_DIFFER", "8"}});
  EXPECT_EQ(never.result.status, exit_status_of(-1));
  EXPECT_TRUE(never.result.out.ends_with(failure(kUnknownMessage, "データが全く一致しません.\n")));
  EXPECT_EQ(count(never.log, "cdb=be"), 16u);
}

TEST_F(EmulatedDrive, AFailedReadIsSentOnceMore) {
  const Run plain = run({"-avi", kMovie, "out.avi"}, true);
  const Run once = run({"-avi", kMovie, "out.avi"}, true, {{"KORVANE_EMU_FAIL_READS", "1"}});
  EXPECT_EQ(once.result.status, 0);
  expect_same_files(plain.files, once.files, "one failure");
  const Run twice = run({"-avi", kMovie, "out.avi"}, true, {{"KORVANE_EMU_FAIL_READS", "2"}});
  EXPECT_EQ(twice.result.status, exit_status_of(-7));
  EXPECT_TRUE(twice.result.out.ends_with(failure(kAspiMessage, "コマンドが発行できません.\n")));
}

TEST_F(EmulatedDrive, DriveChoiceAndSpeed) {
  const Env two = {{"KORVANE_EMU_DRIVES", "0:2,1:5"}};
  const Run first = run({"-avi", kMovie, "out.avi"}, true, two);
  EXPECT_GT(count(first.log, "exec 0:2 cdb=be"), 0u);
  EXPECT_EQ(count(first.log, "exec 1:5 cdb=be"), 0u);
  EXPECT_EQ(count(first.log, "cdb=bb"), 0u);

  const Run chosen = run({"-cddrive:1/5", "-avi", kMovie, "out.avi"}, true, two);
  EXPECT_EQ(count(chosen.log, "exec 0:2 cdb=be"), 0u);
  EXPECT_GT(count(chosen.log, "exec 1:5 cdb=be"), 0u);
  expect_same_files(first.files, chosen.files, "-cddrive");

  const Run unmatched = run({"-cddrive:1/2", "-avi", kMovie, "out.avi"}, true, two);
  EXPECT_GT(count(unmatched.log, "exec 0:2 cdb=be"), 0u);

  const Run speed = run({"-cddrive:1/5", "-avi", kMovie, "out.avi"}, true, two, "",
                        "CDChangeSpeed = ON\r\n");
  EXPECT_EQ(count(speed.log, "exec 1:5 cdb=bb00ffff0000000000000000 len=0 status=01"), 1u)
      << speed.log;
}

TEST_F(EmulatedDrive, DiscWithoutASecondTocEntryIsRefused) {
  const Run r = run({"-disc-all", "disc"}, true, {{"KORVANE_EMU_TOC_ENTRIES", "1"}});
  EXPECT_EQ(r.result.status, exit_status_of(-7));
  EXPECT_TRUE(r.result.out.ends_with(failure(kAspiMessage, "コマンドが発行できません.\n")));
}

// The usage text's drive list shows which drives the scan accepts.
class DriveScanRun : public ::testing::Test {
 protected:
  ProcessResult list(const Env& env, const std::string& module = EMULATED_ASPI_MODULE) {
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.unset_env = {"KORVANE_PATH"};
    options.env = env;
    if (module.empty())
      options.unset_env.push_back("KORVANE_ASPI");
    else
      options.env.push_back({"KORVANE_ASPI", module});
    return run_process({KORVANE_EXE}, options);
  }
  // The drive list between the usage text and the final message.
  static std::string drive_list(const std::string& out) {
    const std::string head = cp932("使用可能ドライブ情報\n");
    const size_t at = out.find(head);
    if (at == std::string::npos) return "<none>";
    const size_t end = out.find(cp932("\nコマンドラインの設定が違います."), at);
    return out.substr(at + head.size(), end - at - head.size());
  }
  TempDir dir_;
};

TEST_F(DriveScanRun, AcceptsExactlyTheDrivesThatReadBothForms) {
  const ProcessResult r = list({{"KORVANE_EMU_DRIVES",
                                 "0:0,0:1/noform2,0:2/disk,0:3/msfail,0:4/msfail2,0:5/inqfail,"
                                 "0:6/noform1,1:0/shortinq,1:2/oddname,1:3/shortms"}});
  EXPECT_EQ(r.status, exit_status_of(-2));
  EXPECT_EQ(drive_list(r.out),
            "adapter = 0 , id = 0 , KORVANE EMU CD 0:0      \n"
            "adapter = 0 , id = 3 , KORVANE EMU CD 0:3      \n"
            "adapter = 1 , id = 0 , \n"
            "adapter = 1 , id = 2 , KORVANE  [2J  EMU 1:2   \n");
}

TEST_F(DriveScanRun, KeepsTheFirstEightDrives) {
  std::string drives;
  for (int a = 0; a < 2; ++a)
    for (int t = 0; t < 8; ++t) drives += std::to_string(a) + ":" + std::to_string(t) + ",";
  const ProcessResult r = list({{"KORVANE_EMU_DRIVES", drives}});
  EXPECT_EQ(r.status, exit_status_of(-2));
  const std::string shown = drive_list(r.out);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 8);
  EXPECT_EQ(shown.find("adapter = 1"), std::string::npos);
}

TEST_F(DriveScanRun, MissingLayersHostsAndDrivesEndWithTheirMessages) {
  struct Case {
    Env env;
    std::string module;
    const char* detail;
  };
  const std::vector<Case> cases = {
      {{}, "/no/such/module.so", "WNASPI32.DLLが読み込めません.\n"},
      {{}, "libc.so.6", "WNASPI32.DLLが読み込めません.\n"},  // no ASPI entry points
      {{{"KORVANE_EMU_NO_HOST", "1"}}, EMULATED_ASPI_MODULE, "ホストがありません.\n"},
      {{{"KORVANE_EMU_ADAPTERS", "0"}}, EMULATED_ASPI_MODULE, "使用可能なドライブがありません.\n"},
      {{{"KORVANE_EMU_DRIVES", ""}}, EMULATED_ASPI_MODULE, "使用可能なドライブがありません.\n"},
      {{{"KORVANE_EMU_DRIVES", "0:0/noform2,0:1/disk"}}, EMULATED_ASPI_MODULE,
       "使用可能なドライブがありません.\n"},
      {{{"KORVANE_EMU_DRIVES", "0:0,0:1/sensefail"}}, EMULATED_ASPI_MODULE,
       "コマンドが発行できません.\n"},
      // The project's own module beside the executable; this machine has no drive.
      {{}, "", "使用可能なドライブがありません.\n"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = list(c.env, c.module);
    EXPECT_EQ(r.status, exit_status_of(-7)) << c.detail;
    EXPECT_TRUE(r.out.ends_with(failure(kAspiMessage, c.detail))) << c.detail << r.out;
    EXPECT_EQ(drive_list(r.out), "<none>");
  }
}

TEST_F(DriveScanRun, ConversionsWithoutTheCdNeverLoadTheLayer) {
  ProcessOptions options;
  options.working_directory = dir_.path();
  options.env = {{"KORVANE_ASPI", "/no/such/module.so"}};
  write_file(dir_.file("in.str"), std::string(kSector * 3, '\0'));
  const ProcessResult r = run_process({KORVANE_EXE, "-no-cdrom", "-bmp", "in.str", "f"}, options);
  EXPECT_EQ(r.out.find(cp932("WNASPI32.DLL")), std::string::npos) << r.out;
}

}  // namespace
