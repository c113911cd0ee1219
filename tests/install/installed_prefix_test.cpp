// korvane as a user installs it: `cmake --install` into a prefix puts the
// programs, the ASPI module, the manual pages and the documents where they
// belong, leaves the emulated drive out, and the installed korvane, run from
// another folder, converts the sample disc and finds its CD drives through
// the module it looks for relative to itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

#ifndef MKDISC_EXE
#define MKDISC_EXE ""
#endif

namespace {

namespace fs = std::filesystem;

const char kSampleMovie[] = "\\MOVIE\\SAMPLE.STR";

class InstalledPrefix : public testing::Test {
 protected:
  void SetUp() override {
    const ProcessResult r = run_process({KORVANE_CMAKE, "--install", KORVANE_BUILD_DIR, "--prefix",
                                         prefix_.path()});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
  }
  std::string installed(const std::string& relative) const { return prefix_.file(relative); }

  // The sample disc of the README, built by the synthesiser.
  std::string sample_disc() {
    if (std::string(MKDISC_EXE).empty()) return {};
    const std::string image = work_.file("SAMPLE.IMG");
    const ProcessResult r = run_process(
        {MKDISC_EXE, "build", std::string(KORVANE_SOURCE_DIR) + "/tools/samples/sample.desc", image});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    return image;
  }

  // Runs a program in a folder of its own, with no setting from outside.
  ProcessResult run_in(const std::string& folder, const std::vector<std::string>& argv,
                       std::vector<std::pair<std::string, std::string>> env = {}) {
    ProcessOptions options;
    options.working_directory = folder;
    options.env = std::move(env);
    options.unset_env = {"KORVANE_PATH", "KORVANE_ASPI", "KORVANE_LANG"};
    options.timeout_seconds = 300;
    return run_process(argv, options);
  }

  TempDir prefix_;
  TempDir work_;
};

TEST_F(InstalledPrefix, EveryFileIsWhereItBelongs) {
  for (const char* file :
       {"bin/korvane", "bin/velmora", "lib/korvane/wnaspi32.so", "share/man/man1/korvane.1",
        "share/man/man1/velmora.1", "share/doc/korvane/README.md",
        "share/doc/korvane/docs/errors.md"})
    EXPECT_TRUE(file_exists(installed(file))) << file;
  for (const auto& entry : fs::recursive_directory_iterator(prefix_.path()))
    EXPECT_EQ(entry.path().filename().string().find("emulated"), std::string::npos)
        << entry.path();
}

TEST_F(InstalledPrefix, InstalledKorvaneConvertsTheSampleDiscFromAnotherFolder) {
  const std::string image = sample_disc();
  if (image.empty()) GTEST_SKIP() << "mkdisc is not built";
  TempDir elsewhere;
  const ProcessResult r =
      run_in(elsewhere.path(), {installed("bin/korvane"), "-image:" + image, kSampleMovie, "sample.avi"});
  ASSERT_EQ(r.status, 0) << r.out;
  // The same AVI as the built korvane makes.
  TempDir built;
  const ProcessResult b =
      run_in(built.path(), {KORVANE_EXE, "-image:" + image, kSampleMovie, "sample.avi"});
  ASSERT_EQ(b.status, 0) << b.out;
  EXPECT_EQ(read_file(elsewhere.file("sample.avi")), read_file(built.file("sample.avi")));
  EXPECT_EQ(r.out, b.out);

  // velmora, installed beside it, patches it.
  const ProcessResult v =
      run_in(elsewhere.path(), {installed("bin/velmora"), "sample.avi", "15"});
  EXPECT_EQ(v.status, 0) << v.out;
}

TEST_F(InstalledPrefix, InstalledKorvaneFindsTheModuleByTheRelativePath) {
  const std::string image = sample_disc();
  if (image.empty()) GTEST_SKIP() << "mkdisc is not built";
  // The emulated drive stands in for the installed module, where the
  // installed korvane looks for it: ../lib/korvane/ from its own folder.
  fs::copy_file(EMULATED_ASPI_MODULE, installed("lib/korvane/wnaspi32.so"),
                fs::copy_options::overwrite_existing);
  const std::vector<std::pair<std::string, std::string>> drive = {{"KORVANE_EMU_IMAGE", image}};
  TempDir elsewhere;
  const ProcessResult help = run_in(elsewhere.path(), {installed("bin/korvane"), "--help"}, drive);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("adapter = 0 , id = 0 , KORVANE EMU CD 0:0"), std::string::npos)
      << help.out;

  // A movie from the CD in the drive gives what the image gives.
  const ProcessResult cd =
      run_in(elsewhere.path(), {installed("bin/korvane"), kSampleMovie, "cd.avi"}, drive);
  ASSERT_EQ(cd.status, 0) << cd.out;
  const ProcessResult file = run_in(
      elsewhere.path(), {installed("bin/korvane"), "-image:" + image, kSampleMovie, "image.avi"});
  ASSERT_EQ(file.status, 0) << file.out;
  EXPECT_EQ(read_file(elsewhere.file("cd.avi")), read_file(elsewhere.file("image.avi")));
}

TEST_F(InstalledPrefix, WithoutTheModuleTheEnglishMessageNamesWhereItLooked) {
  fs::remove(installed("lib/korvane/wnaspi32.so"));
  TempDir elsewhere;
  const ProcessResult r = run_in(elsewhere.path(), {installed("bin/korvane"), "in", "out"},
                                 {{"KORVANE_LANG", "en"}});
  EXPECT_EQ(r.status, exit_status_of(-7));
  const std::string bin = fs::canonical(installed("bin")).string();
  const std::string lib = fs::canonical(installed("lib/korvane")).string();
  EXPECT_EQ(r.out, "\nThe CD drive layer (ASPI) failed.\nThe ASPI module cannot be loaded: looked for " +
                       bin + "/wnaspi32.so and " + lib + "/wnaspi32.so.\n\n");
}

}  // namespace
