// Every kind of disc image korvane reads, made from one synthesised disc:
// the plain 2336-byte image, raw 2352-byte records, a CUE sheet with one BIN
// and one with a BIN per track (an audio track after the data), and CHD
// files made by the real chdman with its default codecs, with cdzl and with
// cdfl. Every conversion mode writes the same bytes from each as from the
// plain image, and the viewer plays each headless.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifdef MKDISC_EXE
#include "tools/mkdisc/cue_disc.hpp"
#include "tools/mkdisc/description.hpp"
#include "tools/mkdisc/pcm.hpp"

namespace {

namespace fs = std::filesystem;

// A few thousand sectors: chdman cannot read back CHDs of very small discs.
constexpr char kDescription[] =
    "output image\n"
    "volume KINDS_TEST\n"
    "file MOVIE/A.STR\n"
    "movie width=96 height=64 frames=20 pattern=sample sectors-per-frame=10 audio=37800\n"
    "file XA/B.XA\n"
    "audio rate=37800 stereo=yes sectors=40 sound=melody interleave=8\n"
    "file DATA/FILL.BIN\n"
    "data size=5000000\n";

constexpr int kAudioSeconds = 3;
constexpr char kImageArgument[] = "DISC";
constexpr int kCdRate = 44100;

struct Kind {
  const char* name;
  const char* image;
};

// The files a run leaves in its directory, by name.
std::map<std::string, std::string> outputs_of(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && !entry.is_symlink())
      files[entry.path().filename().string()] = read_file(entry.path().string());
  return files;
}

class ImageKinds : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const mkdisc::BuiltDisc disc = mkdisc::build_from_description(kDescription);
    mkdisc::write_sector_file(file("disc.img"), disc.sectors, mkdisc::SectorForm::form2336);
    mkdisc::write_sector_file(file("disc.raw"), disc.sectors, mkdisc::SectorForm::raw2352);
    const std::vector<int16_t> music = mkdisc::make_pcm(mkdisc::Sound::melody, kCdRate, true, kCdRate * kAudioSeconds);
    mkdisc::write_cue_disc(file("one.cue"), disc.sectors, music, mkdisc::CueFiles::one_bin);
    mkdisc::write_cue_disc(file("split.cue"), disc.sectors, music, mkdisc::CueFiles::bin_per_track);
    chdman_ = find_on_path("chdman");
    if (chdman_.empty()) return;
    const std::pair<const char*, std::vector<std::string>> chds[] = {
        {"lzma.chd", {}}, {"zlib.chd", {"-c", "cdzl"}}, {"flac.chd", {"-c", "cdfl"}}};
    for (const auto& [name, codecs] : chds) {
      std::vector<std::string> argv = {chdman_, "createcd", "-i", file("split.cue"), "-o", file(name), "-f"};
      argv.insert(argv.end(), codecs.begin(), codecs.end());
      ASSERT_EQ(run_process(argv).status, 0) << name;
      ASSERT_EQ(run_process({chdman_, "verify", "-i", file(name)}).status, 0) << name;
    }
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static std::string file(const std::string& name) { return dir_->file(name); }

  std::vector<Kind> kinds() const {
    std::vector<Kind> list = {{"raw", "disc.raw"}, {"cue one bin", "one.cue"}, {"cue bin per track", "split.cue"}};
    if (!chdman_.empty())
      for (const Kind k : {Kind{"chd lzma", "lzma.chd"}, Kind{"chd zlib", "zlib.chd"}, Kind{"chd flac", "flac.chd"}})
        list.push_back(k);
    return list;
  }

  // Runs korvane in a fresh directory with the image and returns what it wrote there.
  std::map<std::string, std::string> run(const std::string& image, std::vector<std::string> args,
                                         const std::string& tag) {
    const std::string dir = file("run-" + tag + "-" + std::to_string(++runs_));
    fs::create_directory(dir);
    // kImageArgument stands for the image given as the input name itself
    // (-no-cdrom), under one name for every kind: a link in the run's
    // directory, beside links to the BIN files. Otherwise the image comes
    // with -image:.
    std::vector<std::string> argv = {KORVANE_EXE, "-path:" + dir};
    bool named = false;
    for (const std::string& a : args) named = named || a == kImageArgument;
    if (named) {
      for (const auto& entry : fs::directory_iterator(dir_->path()))
        if (entry.is_regular_file()) fs::create_symlink(entry.path(), fs::path(dir) / entry.path().filename());
      fs::create_symlink(file(image), fs::path(dir) / kImageArgument);
    } else {
      argv.push_back("-image:" + file(image));
    }
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_directory = dir;
    options.unset_env = {"KORVANE_PATH"};
    const ProcessResult result = run_process(argv, options);
    EXPECT_EQ(result.status, 0) << image << " " << tag << "\n" << result.out << result.err;
    std::map<std::string, std::string> files = outputs_of(dir);
    files.erase("KORVANE.INI");
    return files;
  }

  static TempDir* dir_;
  static std::string chdman_;
  int runs_ = 0;
};

TempDir* ImageKinds::dir_ = nullptr;
std::string ImageKinds::chdman_;

TEST_F(ImageKinds, EveryModeWritesWhatThePlainImageGives) {
  if (chdman_.empty()) std::printf("chdman (Debian mame-tools) is not installed: CHD kinds skipped\n");
  const std::pair<const char*, std::vector<std::string>> modes[] = {
      {"avi", {"-avi", "\\MOVIE\\A.STR", "out.avi"}},
      {"bmp", {"-bmp", "\\MOVIE\\A.STR", "frame"}},
      {"audio", {"-audio", "\\XA\\B.XA", "out.wav"}},
      {"all", {"-all", "\\MOVIE\\A.STR", "all"}},
      {"disc-all", {"-disc-all", "whole"}},
      {"no-cdrom", {"-no-cdrom", kImageArgument, "whole.avi"}},
      {"no-cdrom disc-all", {"-no-cdrom", "-disc-all", kImageArgument}},
      {"no-cdrom disc-analyze", {"-no-cdrom", "-disc-analyze", kImageArgument}},
      {"analyze", {"-analyze", "\\MOVIE\\A.STR"}},
      {"with-sound", {"-with-sound", "\\MOVIE\\A.STR", "sound.avi"}},
      {"all with-sound", {"-all", "-with-sound", "\\MOVIE\\A.STR", "linked"}},
  };
  for (const auto& [mode, args] : modes) {
    const auto plain = run("disc.img", args, mode);
    ASSERT_FALSE(plain.empty()) << mode;
    // A movie on the disc image carries its sound into the AVI too.
    for (const char* sounded : {"sound.avi", "linked0000.avi"}) {
      if (plain.count(sounded) != 0) {
        EXPECT_NE(plain.at(sounded).find("01wb"), std::string::npos) << sounded;
      }
    }
    for (const Kind& kind : kinds()) EXPECT_TRUE(run(kind.image, args, mode) == plain) << kind.name << " " << mode;
  }
}

TEST_F(ImageKinds, UseInfFindsTheCatalogueEntryOfEveryKind) {
  for (const Kind& kind : kinds()) {
    const std::string dir = file(std::string("inf-") + kind.image);
    fs::create_directory(dir);
    ProcessOptions options;
    options.working_directory = dir;
    options.unset_env = {"KORVANE_PATH"};
    ASSERT_EQ(run_process({KORVANE_EXE, "-path:" + dir, "-image:" + file(kind.image), "-analyze", "\\MOVIE\\A.STR"},
                          options)
                  .status,
              0);
    const ProcessResult by_inf = run_process(
        {KORVANE_EXE, "-path:" + dir, "-image:" + file(kind.image), "-use-inf", "-avi", "A_STR_0", "inf.avi"},
        options);
    EXPECT_EQ(by_inf.status, 0) << kind.name << by_inf.out;
    const ProcessResult by_name =
        run_process({KORVANE_EXE, "-path:" + dir, "-image:" + file("disc.img"), "-avi", "\\MOVIE\\A.STR", "ref.avi"},
                    options);
    ASSERT_EQ(by_name.status, 0);
    EXPECT_EQ(read_file(dir + "/inf.avi"), read_file(dir + "/ref.avi")) << kind.name;
  }
}

TEST_F(ImageKinds, TheViewerPlaysEveryKindHeadless) {
  ProcessOptions options;
  options.env = {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}};
  options.unset_env = {"KORVANE_PATH"};
  options.working_directory = dir_->path();
  options.timeout_seconds = 120;
  for (const Kind& kind : kinds()) {
    const ProcessResult result = run_process({KORVANE_EXE, "-path:" + dir_->path(), "-image:" + file(kind.image),
                                              "-viewer", "-startwait:0", "\\MOVIE\\A.STR"},
                                             options);
    EXPECT_EQ(result.status, 0) << kind.name << result.out << result.err;
  }
}

}  // namespace
#endif  // MKDISC_EXE
